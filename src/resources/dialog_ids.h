/* Numbers of the install dialogs' templates, controls and button images,
 * shared by kelmor32.rc and the code.  Plain #defines, because the resource
 * compiler reads this file too. */
#ifndef KELMOR_RESOURCES_DIALOG_IDS_H
#define KELMOR_RESOURCES_DIALOG_IDS_H

/* Templates */
#define IDD_SELECT_FONT 19201 /* "Kelmor Type Font": the installed fonts */
#define IDD_SETUP_FONT 19217  /* "Setup Kelmor Type Font": one entry */

/* Buttons of both dialogs */
#define CTL_OK 1
#define CTL_CANCEL 2
#define CTL_HELP 998

/* Selection dialog */
#define CTL_FONT_LIST 19203
#define CTL_SETUP 17
#define CTL_NEW 150
#define CTL_DELETE 50
#define CTL_BROWSE 152 /* only its images: no template uses it */

/* Setup dialog */
#define CTL_TYPEFACE 19219
#define CTL_FROM_WINDOWS 18593
#define CTL_FOT_FILE 18592
#define CTL_SEPARATE 19222
#define CTL_TTF_FILE 19221
#define CTL_DOC_SYMBOL_SET 9079
#define CTL_FONT_SYMBOL_SET 9078
#define CTL_POINT_SIZE 19223
#define CTL_POINT_SIZE_SCROLL 19224
#define CTL_BITMAP_SETUP 19233

/* A bitmap button with id n shows image n + 1000 normally, n + 3000 while
 * pressed and n + 5000 while it has the focus. */
#define BUTTON_FACE_NORMAL 1000
#define BUTTON_FACE_PRESSED 3000
#define BUTTON_FACE_FOCUSED 5000

/* Styles of the "BorShade" class: a flat raised panel, a sunken group frame
 * with its caption, a sunken horizontal divider. */
#define SHADE_PANEL 0
#define SHADE_GROUP 1
#define SHADE_DIVIDER 2

#endif

// What the kelmor tool reaches beyond kelmor.h, in one place.  The tool
// draws through the public entries; these are the parts of the library it
// shows or drives directly:
//   info and coverage  the font object, its tables and bounded reads, the
//                      embedded bitmap strikes, why a CFF table was refused
//   trace              the interpreter's tracer and mnemonics
//   render, exports    the font behind a handle, the concordances
//   fonts, fot, cob    the settings lists, the .FOT reader, the profile
// Nothing else outside src/ includes the stage headers.
#ifndef KELMOR_TTF_API_TOOL_INTERNALS_H
#define KELMOR_TTF_API_TOOL_INTERNALS_H

#include "common/text.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "ttf/api/handles.h"
#include "ttf/api/kelmor_gdi.h"
#include "ttf/cff/cff.h"
#include "ttf/concord/scunicod.h"
#include "ttf/font/ttf.h"
#include "ttf/install/exehdr.h"
#include "ttf/install/fot.h"
#include "ttf/settings/installed_file.h"
#include "ttf/settings/settings.h"
#include "ttf/sfnt/ttf_gsub.h"
#include "ttf/sfnt/ttf_ebdt.h"
#include "ttf/sfnt/ttf_read.h"

#endif

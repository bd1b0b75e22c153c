// Sub-commands of the kelmor command-line tool.  Each takes the arguments
// after its own name (argv[0] is the sub-command name) and returns the exit
// code: 0 on success, non-zero after a message on stderr.
#ifndef KELMOR_TOOL_COMMANDS_H
#define KELMOR_TOOL_COMMANDS_H

int CmdInfo(int argc, char **argv);    // kelmor info FONT
int CmdRender(int argc, char **argv);  // kelmor render ...
int CmdCob(int argc, char **argv);     // kelmor cob ...
int CmdTrace(int argc, char **argv);   // kelmor trace FONT ...

#endif

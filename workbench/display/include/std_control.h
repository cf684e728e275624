/*
 * Control interface of the workbench display host (libSTD.so), beside the
 * display services the plug-in binds. vazdiag and the end-to-end tests use it
 * to choose the front end and read back what was shown.
 */
#ifndef STD_CONTROL_H
#define STD_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Directory holding the text library sources (the data/ tree). 0 = loaded, -1 = error (StdLastError). */
int StdSetDataDir(const char *dir);

/* Script front end: the script text plays the user; every screen goes to the transcript.
   0 = accepted, -1 = the script has an error (StdLastError names line and fault). */
int StdUseScript(const char *scriptText);

/* Interactive line front end on standard input and output. */
int StdUseTerminal(void);

/* The transcript written so far by the script front end (valid until the next Std* call). */
const char *StdTranscript(void);

/* Text of the last error of a Std* call. */
const char *StdLastError(void);

#ifdef __cplusplus
}
#endif

#endif

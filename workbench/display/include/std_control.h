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

/* The same front end on other descriptors (a pipe in tests, a pseudo-terminal). 0 = accepted. */
int StdUseTerminalOn(int inFd, int outFd);

/* Full-screen front end (ncurses) on standard input and output. When either is not a
   terminal, or the terminal type cannot be driven, the line front end is used instead.
   0 = full screen, 1 = line front end (StdLastError says why). */
int StdUseFullScreen(void);

/* Web front end: the screens are served to browsers on address (host or IP, port; "" =
   127.0.0.1 and a free port; "0.0.0.0:8080" for every interface), only to one holding the
   access token in StdWebUrl. A screen that waits for the user waits for the controlling
   browser; after idleSeconds without any browser every screen is answered as Back, so the
   session ends. 0 = serving, -1 = the address cannot be had (StdLastError). */
int StdUseWeb(const char *address, int idleSeconds);

/* The address to open, access token included ("" without the web front end). Valid until
   the next Std* call. */
const char *StdWebUrl(void);

/* Where else the web front end can be reached from the network, one address a line ("" when
   it listens on loopback only). Valid until the next Std* call. */
const char *StdWebNetworkUrls(void);

/* Blocks until a browser opens the page. Without a language chosen (language 0), the
   browser's preference (Accept-Language) chooses Russian or English. 0 = a browser came,
   -1 = none within the idle time (or no web front end). */
int StdWebWaitForBrowser(int languageChosen);

/* Tells hook(address, action, context) of every answer a browser gives that acts on the car
   (a menu choice, a yes, a number, a button) with the browser's address, and of a session
   ended because no browser was connected (address ""). Null stops it. */
void StdSetWebActionHook(void (*hook)(const char *address, const char *action, void *context), void *context);

/* Live-data recording: from now on every data-stream pass is one CSV row in path (truncated
   now): a time stamp, then one column per shown item; the header holds the item names with
   their units. A pass with other items goes on in path-2.csv, path-3.csv, ... Rows are
   flushed as written. Null or "" stops recording. 0 = recording, -1 = cannot write path. */
int StdSetLogFile(const char *path);

/* What the session diagnoses ("Bosch M1.5.4"): the full screen heads every screen with it,
   followed by the menu entries chosen on the way there. Starts the path afresh. */
void StdSetSessionTitle(const char *title);

/* STD_ENDED_ON_ECU_FAILURE when the last screen of the session reported that no control unit
   could be talked to (connection or detection failed, the line stopped answering),
   STD_ENDED_ON_INTERFACE_FAILURE when it reported that the interface refused to open the line
   (the car was never asked), else 0. */
enum { STD_ENDED_ON_ECU_FAILURE = 1, STD_ENDED_ON_INTERFACE_FAILURE = 2 };
int StdEndedOnFailure(void);

/* 1 when a step of the session's script did not fit its screen ("! script line ..." in the
   transcript), else 0. */
int StdScriptMisfit(void);

/* The clock of the line (e.g. VciClockMs): recorded rows are stamped with the time the line
   has reached, counted on from the wall time of this call, so a recording on a virtual clock
   shows the engine's time. Null: the wall clock (the default). */
void StdUseLineClock(double (*nowMs)(void));

/* Why the recording stopped early (a row or a later file that could not be written, e.g.
   "cannot write live-2.csv: No space left on device"); "" when it did not. The front end was
   told as it happened (a notice "Recording stopped"). Valid until the next Std* call. */
const char *StdLogWriteError(void);

/* The session is over: the front end gives back what it holds (the full-screen front end
   restores the terminal; a later screen takes it again). */
void StdEndSession(void);

/* Where script front ends chosen from now on (StdUseScript) write their transcript: every
   screen, with its answer, is written to fd as soon as it is answered (-1 = nowhere); keep 1
   (the default) also keeps it all for StdTranscript, keep 0 keeps nothing, so a session of
   any length runs in constant memory. */
void StdSetTranscriptOutput(int fd, int keep);

/* The transcript written so far by the script front end (valid until the next Std* call);
   empty unless kept (StdSetTranscriptOutput). */
const char *StdTranscript(void);

/* Language of the texts: "ru" (Russian, from the ru folder of the data directory) or "en".
   Without a call, the Language key of StdCfg.ini in the data directory decides, else English.
   0 = set, -1 = unknown language or its files missing (StdLastError). */
int StdSetLanguage(const char *code);

/* Text of the last error of a Std* call. */
const char *StdLastError(void);

#ifdef __cplusplus
}
#endif

#endif

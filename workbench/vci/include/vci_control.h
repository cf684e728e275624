/*
 * Control interface of the workbench vehicle interface (libCOMM_ABSTRACT_LAYER.so),
 * beside the services the plug-in binds. vazdiag and the tests use it to put a
 * simulated ECU on the line, choose the clock, inject faults and read the wire trace.
 */
#ifndef VCI_CONTROL_H
#define VCI_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Forget the line state, the car, the faults and the trace; real-time clock. */
void VciReset(void);

/* Put a simulated ECU on the line: "m154", "m154-add", "m154n", ... or "none"
   for a silent line. 0 = done, -1 = unknown name (VciLastError lists the names). */
int VciSelectCar(const char *name);

/* Set an option of the simulated ECU, e.g. ("dtc", "0102,0304"); 0 = done, -1 = refused. */
int VciCarOption(const char *key, const char *value);

/* 1: time runs on a virtual clock (tests, instant); 0: real time (a person at the screen). */
void VciUseVirtualClock(int on);

/* Advance the virtual clock by ms (the line idles meanwhile: keep-alives, ECU time-outs). */
void VciAdvanceClock(unsigned ms);

/* Inject a fault into the answers of the simulated line.
   kind: "no-answer", "negative" (7F with code nrc), "bad-checksum", "late" (after P2max).
   sid: the request's service identifier it applies to, or -1 for any request.
   skip: matching requests to let through first; count: how many to spoil (-1 = all after).
   0 = armed, -1 = unknown kind. */
int VciInjectFault(const char *kind, int sid, int nrc, int skip, int count);

/* Wire trace: every byte each way with its time stamp, as text lines:
     "  1234.567 T> 82 10 F1 21 01 A5"   tester to ECU (one frame a line)
     "  1234.612 E< 83 F1 10 61 01 .."   ECU to tester
     "  1234.000 -- <event>"             line events (fast init, baud rate, keep-alive armed ...)
   VciTraceText returns everything since the last reset; VciSetTraceFile also writes it to a file. */
const char *VciTraceText(void);
int VciSetTraceFile(const char *path);

const char *VciLastError(void);

#ifdef __cplusplus
}
#endif

#endif

/*
 * Control interface of the workbench vehicle interface (libCOMM_ABSTRACT_LAYER.so),
 * beside the services the plug-in binds. vazdiag and the tests use it to put a
 * simulated ECU on the line, choose the clock, inject faults and read the wire trace.
 *
 * The simulated K line (how it behaves towards the plug-in):
 *   - Nothing is sent before SelectPIN selected the line and SetEcuBaudRate set a rate
 *     (the request fails at once, -1). The ECUs decode 10400 baud +-2 %; at another rate
 *     the frames go out but nobody answers.
 *   - An asleep ECU wakes only on the fast-init pattern SetCommunicationLineVoltage(2, low,
 *     high) with low and high each 24..26 ms, followed by StartCommunication to its address
 *     as the very next frame on the line. Any other frame in between spends the wake-up.
 *   - KwpSendDataToEcuGetAnswer: the frame starts at its format byte; its length is
 *     (fmt & 0x3F) + 4 (long form: length byte + 5). Success returns the number of answer
 *     frames (1) and fills the answer buffer: byte 0 the count, then each frame as its
 *     length byte and bytes (format byte .. checksum). Never more than 344 bytes are
 *     written; the maxLength argument is ignored. No valid answer (wrong checksum in the
 *     request, no ECU at the address, ECU asleep, fault) returns -1 and leaves the buffer
 *     as it was.
 *   - EndCombination: 1 when every request since BeginCombination succeeded (also when
 *     there was none), -1 otherwise or without BeginCombination.
 *   - SetLinkKeep(frame, length, a, b) arms a keep-alive: the interface sends the frame
 *     (as given, checksum included) each time the line has been idle for 1000 ms (so about
 *     every 1041 ms at 10416 baud while nothing else happens); its
 *     answers are swallowed. SetLinkKeep with a null frame or length 0 stops it. a and b
 *     are only traced.
 *   - An ECU that hears no request for 5000 ms falls asleep; StopCommunication (82) and
 *     ECUReset (11) put it to sleep at once after their answer.
 *   - There is no thread: every call first replays the idle time since the last activity
 *     (keep-alives at their moments, the sleep time-out), then does its work.
 *   - Timing: byte time 10 bits at the set baud rate; tester byte gap = first argument of
 *     SetEcuCommTimeInterval (0..20 ms; the other two are only traced); ECU answer delay
 *     P2 25 ms; the interface waits 50 ms (P2max) for an answer; 55 ms quiet (P3min)
 *     after every exchange before the next frame. On the real-time clock the calls take
 *     that long; on the virtual clock they return at once and only the model's time moves.
 *
 * The simulated ALDL line (for the GM cars "gm-isfi" and "gm-efi"; while one of them is
 * selected every line service reaches this line instead of the K line):
 *   - OneToOne_SendDataToEcuGetAnswer(a, answer, b, c, length, frame, d, e, f): the frame is
 *     'length' bytes from the device identifier F4, checksum included (4..173); a, b, c, d,
 *     e, f are ignored. Nothing is sent before SelectPIN and SetEcuBaudRate (-1 at once). The
 *     ECU reads only 8227 baud +-2 % with SetEcuCommunicationVoltageLogic(0, 0xFF); otherwise,
 *     and for a frame whose bytes do not sum to 0 mod 256 or whose length code is not
 *     0x55 + length - 3, the frame goes out and nobody answers (-1, buffer untouched).
 *     Success returns 1 with the answer buffer as on the K line: byte 0 = 1, byte 1 = the
 *     answer's length, then F4, length code, mode, data, checksum (never past 344 bytes).
 *   - On the K line the service always fails (-1); KwpSendDataToEcuGetAnswer fails on ALDL.
 *   - SetLinkKeep(0, 0, 0, 0) does nothing and returns 0; arming a keep-alive is refused (-1).
 *     SetCommunicationLineVoltage is traced and has no effect.
 *   - Timing: 10 bits a byte at the set rate, tester byte gap = first argument of
 *     SetEcuCommTimeInterval; ECU answer after 10 ms; the interface waits 50 ms; 20 ms quiet
 *     before the next request. ALDL ECUs never sleep.
 *   - Faults are matched on the mode byte (sid = 0x01, 0x04, 0x0A); "negative" acts as
 *     "no-answer", since ALDL has no negative answer.
 *   - The ALDL line keeps its own clock; selecting a car of the other line carries the clock
 *     kind (virtual or real) over. Byte layouts: workbench/ecusim/gm_layout.md.
 *
 * The simulated generic OBD-II bus (for the cars "obd-iso" and "obd-pwm"; while one of them
 * is selected every line service reaches this bus):
 *   - One OBD-II responder, engine ECU 10, answers functional requests to 6A:
 *       "obd-iso" (ISO 9141-2):  68 6A F1 mode pid cs  ->  48 6B 10 mode+40 pid data cs
 *                                cs = sum of the bytes before it, modulo 256
 *       "obd-pwm" (J1850 PWM):   61 6A F1 mode pid crc ->  41 6B 10 mode+40 pid data crc
 *                                crc = SAE J1850 CRC-8 (poly 1D, init FF, inverted) of the
 *                                bytes before it
 *     It serves mode 01 PID 00 (supported PIDs: 08 18 00 00 = 05, 0C, 0D), 01 05 (coolant
 *     + 40 degC), 01 0C (rpm x 4, two bytes), 01 0D (km/h), 09 00 (40 00 00 00) and 09 02
 *     (the VIN in five frames 49 02 n d1 d2 d3 d4, n = 1..5, three 00 bytes before the 17
 *     characters), live from the engine model ("engine" option as on the other cars;
 *     idle-fixed: 01 05 -> 82, 01 0C -> 0D 20). A frame with a wrong header, a wrong check
 *     byte, a length outside 5..11 or an unsupported mode or PID gets no answer.
 *   - Set-up: only SelectPIN is needed (the responder needs no wake-up and never sleeps);
 *     the baud rate, time intervals and voltage logic are traced and have no effect; a
 *     keep-alive is refused as on ALDL; the "line" option works as on the other lines.
 *   - OneToOne_SendDataToEcuGetAnswer(a, answer, size, c, length, frame, d, e, f) on
 *     "obd-iso": the frame is 'length' bytes from the first header byte, check byte
 *     included (1..11). Success returns the number of answer frames and fills the answer
 *     buffer as on the K line: byte 0 the count, then each frame as its length byte and
 *     bytes (header .. check byte). 'size' (the plug-in passes 100) is the buffer size:
 *     frames that would pass it are left out (0 or more than 344: 344). No valid answer
 *     returns -1 and leaves the buffer as it was. a, c, d, e, f are ignored.
 *   - PWM_SendDataToEcuGetAnswer(a, answer, size, c, length, frame): the same on "obd-pwm".
 *   - IsoInitSendDataToEcuGetAnswer(a, p, q) opens a request (0), IsoAddSendDataToEcuGetAnswer
 *     (length, frame) appends 'length' bytes to it (0; -1 without an open request or past
 *     11 bytes, which drops it), IsoSendAndReceiveSendDataToEcuGetAnswer(p, size) sends it as
 *     one frame and closes it: the number of answer frames, or -1. The caller hands in no
 *     answer buffer, so the answer is seen only in the trace. a, p, q are traced.
 *   - The ISO services fail (-1) on "obd-pwm", the PWM service on "obd-iso" and on every
 *     other car, and KwpSendDataToEcuGetAnswer on both OBD cars.
 *   - Timing: ISO 10400 baud, 10 bits a byte, answer 25 ms after the request and 25 ms
 *     between answer frames, 55 ms quiet before the next request; PWM 41600 bit/s, 8 bits
 *     a byte, 5 ms answer delay and gap, 5 ms quiet. The interface waits 50 ms for an
 *     answer on both.
 *   - Faults are matched on the mode byte (sid = 0x01, 0x09); "negative" makes the ECU
 *     answer 7F mode nrc (a valid answer: the call succeeds), "bad-checksum" spoils the
 *     check byte of the first answer frame. The bus keeps its own clock, carried over
 *     like the ALDL line's.
 *
 * The serial line (VciUsePort, or VciPort= in StdCfg.ini): a real K-line or ALDL cable, or a
 * pseudo-terminal with vazdiag-ecu on its far end. The same services, in real time:
 *   - The port is opened O_NOCTTY | O_NONBLOCK | O_CLOEXEC, locked (flock and TIOCEXCL), raw
 *     8N1 without flow control, DTR and RTS as the options say; on FTDI chips the latency
 *     timer is lowered to 1 ms (sysfs, else the low-latency flag; else a warning with the
 *     udev rule). SelectPIN reopens a port that was lost.
 *   - SetEcuBaudRate sets exactly that rate (termios2 BOTHER, else the custom divisor) and
 *     reads it back; a port that cannot come within 0.5 % (an old CP2102 makes 14400 of
 *     10400) refuses it (-1) and says so in VciPortNotes.
 *   - SetCommunicationLineVoltage(2, low, high): after at least 300 ms of idle line, the
 *     fast-init pattern by a held break or by a 0x00 byte at 360 baud (25 ms low), option
 *     wakeup=auto|break|byte; auto takes the break unless the port cannot put it on the
 *     wire (pseudo-terminal, a driver that fakes it). Measured times go to the trace.
 *   - Requests go out a byte at a time; each byte's echo is read back and compared before
 *     the next, P4 (first argument of SetEcuCommTimeInterval) after it. No echo at all is
 *     "the interface does not echo" (option echo=off for cables that remove it); another
 *     byte is a bus error. The echo never reaches the answer buffer.
 *   - Answers: up to 50 ms (P2max) for the first byte, an inter-byte gap above 20 ms (P1max)
 *     ends a frame, KWP2000 length rules (format byte or length byte), checksum checked (a
 *     wrong one is no answer), 7F xx 78 extends the wait to 5000 ms and is not handed up;
 *     frames that follow within 50 ms are collected into the answer buffer (at most 344
 *     bytes); 55 ms (P3min) of quiet before the next request. ALDL: a 15 ms quiet gap before
 *     each request (chatter is dropped), the answer by its length code, resynchronised on
 *     the device identifier, sum 0, up to 100 ms for it to begin.
 *   - An armed keep-alive is sent by a thread of the interface whenever the line idled
 *     1000 ms, also while nobody calls; its answers are dropped, failures traced.
 *   - A port that fails (EIO, ENXIO, end of file, hang-up) fails the request at once; later
 *     requests fail at once until SelectPIN opens it again.
 *   - Trace: every frame with the monotonic time of its first byte, echoes ("-- echo ..."),
 *     port opening with driver and chip, rate asked and set, latency timer, wake-up with
 *     measured low and high times, keep-alives.
 *
 * An ELM327 adapter on the port (option adapter=elm327, a "tcp://ADDRESS:PORT" device, or
 * adapter=auto, the default, when the probe finds one: "ATI" at 38400, 9600, 115200, 57600,
 * 230400 and 500000 baud, where a raw cable only echoes it) serves the Bosch K-line ECUs:
 *   - Set-up ATZ, ATE0, ATL0, ATS0, ATI, ATH1, ATAT0, ATST (P2max), ATSW00, ATWM, ATSP5,
 *     ATAL; a "?" marks a command the adapter lacks. ATSH follows each frame's header
 *     (the adapter inserts the length).
 *   - SetCommunicationLineVoltage(2, ...) asks for a fast init, done before the next
 *     request by ATFI (lacking it, by the adapter's own init); "BUS INIT: ...ERROR" fails
 *     the request and VciPortNotes says what to check.
 *   - A request is its service bytes as one command line, with the responses-expected
 *     digit 1 (dropped for good when the adapter answers "?"); the answer lines (headers
 *     and checksum) fill the answer buffer as on the K line. NO DATA, "?" without digit,
 *     BUS ERROR, CAN ERROR, FB ERROR, BUS BUSY, UNABLE TO CONNECT: the request fails.
 *     STOPPED, BUFFER FULL, (<)DATA ERROR, (<)RX ERROR, a wrong checksum or a frame cut
 *     short: sent once more. LV RESET or the version banner: the adapter is set up again
 *     and the request sent once more. 7F xx 78: the adapter's monitor (ATMA) is read up to
 *     5000 ms for the real answer, then stopped with a carriage return.
 *   - SetLinkKeep: ATWM with the frame (without checksum) and ATSW for the 1000 ms period;
 *     lacking either, a thread of the interface sends the frame after 1000 ms of idle.
 *   - A lost port or connection fails the request at once; the next request tries once to
 *     reach the adapter again and sets it up. SetEcuBaudRate other than 10400 is refused
 *     (8192, GM ALDL: VciPortNotes names the ALDL cable).
 *   - Trace: "A> " command lines and "A< " adapter lines, each with its time; the frames
 *     as T> / E< lines; the capability table.
 *
 * Strings returned by VciTraceText, VciLastError, VciListPorts and VciPortNotes stay valid
 * until the next call of the same function or VciReset.
 */
#ifndef VCI_CONTROL_H
#define VCI_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Forget the line state, the car, the faults and the trace; real-time clock at 0 ms.
   A trace file set with VciSetTraceFile stays open (it gets a "-- interface reset" line). */
void VciReset(void);

/* Put a simulated ECU on the line: "m154", "m154-add", "m154n", "m797-e2", "m797-e3",
   "m72" (Bosch, address 0x10), "m70-e2", "m70-e3" (Bosch, address 0x11), "gm-isfi",
   "gm-efi" (on the ALDL line), "obd-iso", "obd-pwm" (generic OBD-II responder, above) or
   "none" for a silent line. The engine's time starts now;
   earlier options are dropped.
   The Bosch ECUs carry out the tester's output control (30 id 06 state, 30 id cp value;
   M7.0 also the test routine 31 / 32 10 aa bb cc) and the engine answers where a
   mechanic looks in the 21 01 block: a switched relay or lamp shows in its state bit;
   "Switch off" of an injector or coil (state 00, or a running M7.0 cut-off routine) cuts
   that cylinder: about 110 rpm less per dead cylinder, rough running, the oxygen sensor
   reads lean; all four cut, or the fuel pump relay off, stall the engine (0 rpm). A
   commanded idle speed (30 42 07 rpm/10, M7.0 30 70 10) moves the desired and actual
   speed and the idle air valve; a valve position (30 41 07 steps) moves the speed by
   10 rpm a step; the CO trim (30 61 08 vv) is the M1.5.4 idle mixture correction byte.
   30 01 00 hands every output back to the ECU, 30 id 00 only that one; an ECU reset
   (11), StopCommunication or 5 s of silence also end every control. After 11 the ECU
   answers only a new fast initialisation, except 11 00 on the M1.5.4 family and M7.2,
   which keeps the session (the plug-in does not reconnect after it). Unknown outputs:
   7F 30 31.
   0 = done, -1 = unknown name (VciLastError lists the names). */
int VciSelectCar(const char *name);

/* Put the line on a serial device instead of a simulated car (opened at once). options:
   "wakeup=auto|break|byte,echo=on|off,dtr=on|off,rts=on|off,sysfs=DIR,dev=DIR" (any subset,
   defaults auto, on, on, off, /sys, /dev). 0 = open; -1 = refused (VciLastError says why and
   what to do: no such device, permission, busy, not a serial device). */
int VciUsePort(const char *device, const char *options);

/* The serial devices present (ttyUSB*, ttyACM*, /dev/serial/by-id) with driver, chip, what
   the chip can do and whether this user may open them; null roots mean /dev and /sys. */
const char *VciListPorts(const char *devRoot, const char *sysfsRoot);

/* What the serial line wants the user to know since the last call (a refused rate, a missing
   echo, a lost port, a latency timer left high), one line each; "" when nothing. */
const char *VciPortNotes(void);

/* Probes the ELM327 adapter at device ("/dev/rfcomm0", "tcp://192.168.0.10:35000"; options
   as VciUsePort's) and returns its capability table, one "name: value" line each, or a
   line beginning "error: " or "no ELM327 adapter". The port is let go afterwards. */
const char *VciAdapterInfo(const char *device, const char *options);

/* Set an option; 0 = done, -1 = refused (VciLastError says why).
     "dtc"     stored codes, 4 hex digits each: "0102,0325,0443", "" for none (at most 20)
     "faults"  current fault bits D9 D10 D11 of the 21 01 block as 3 hex bytes: "01 00 04"
     "id-key"  first two characters of the 1A 9A answer: "M1", "J5", "V5"
     "engine"  "running" (default: live values from the clock) or "idle-fixed" (the frozen
               idle block below, whatever the time)
     "header"  "long" (default: 21 and 1A answers in the long form 80 F1 10 len ...; the
               others short), "short" (every answer short while it fits 63 service bytes)
               or "short-id" (identification answers short, data blocks long)
     "line"    "ok" (default) or "refused": SelectPIN then refuses the line (works without a car)
     "refuse"  Bosch cars: "SID:NRC[,SID:NRC...]", two hex digits each, e.g. "30:22,11:22":
               the ECU answers 7F SID NRC to every request of these services instead of
               carrying it out (also 81, 21, ...); "" refuses nothing
     "guard"   M7.9.7 only: "on" (default) or "off": the ECU reports its battery voltage
               reading (21 01 record D9, frame byte 10, answer-buffer byte 12) as 0, the
               byte the guarded actuator tests check (workbench/ecusim/m797_layout.md)
   idle-fixed 21 01 record D5..D36 (M1.5.4 and add-on), answer 80 F1 10 22 61 01 ...:
     00 00 25 1C ff ff ff 00 82 0A 00 15 54 1E 1E 80 18 00 B0 54 45 01 5A 00 00 02 28 00 00 00 40 00
   (ff = the "faults" bytes; bit 6 of D7 is set when any fault bit is). M1.5.4N D5..D38,
   answer 80 F1 10 24 61 01 ...:
     00 00 25 1C ff ff ff 00 82 80 00 15 54 1E 1E 80 18 00 B0 54 5B 03 45 01 5A 00 00 02 28 00 00 00 40 00
   idle-fixed 21 03 (all three): 61 03 1F 46 1A B3 17 80 0A.
   GM cars: "faults" = the current code bytes as hex (gm-isfi 6 bytes A5..A10, gm-efi 3 bytes
   A5..A7), "dtc" = GM code numbers "14,33" (gm-isfi: stored codes; gm-efi: the code bytes),
   "engine" as above; "id-key" and "header" are refused. Idle-fixed blocks: gm_layout.md.
   OBD cars: "engine" as above and "vin" (17 printable characters; default
   XTA21099071234567); the others are refused. */
int VciCarOption(const char *key, const char *value);

/* 1: time runs on a virtual clock (tests, instant); 0: real time (a person at the screen).
   The virtual clock continues from the line's last activity (0 after a reset), so runs on
   it repeat exactly; the real-time clock continues from the current reading. */
void VciUseVirtualClock(int on);

/* Advance the clock by ms (the line idles meanwhile: keep-alives, ECU time-outs). On the
   real-time clock this sleeps. */
void VciAdvanceClock(unsigned ms);

/* The line's clock in ms (virtual or real, as chosen): the time stamps of the trace, the time
   the ECU lives in. */
double VciClockMs(void);

/* Inject a fault into the answers to the caller's requests (never to the interface's own
   keep-alives).
   kind: "no-answer"    the request is lost: the ECU hears nothing, the call fails (-1);
         "negative"     the ECU answers 7F sid nrc instead of carrying the request out;
         "bad-checksum" the ECU carries it out, its answer has checksum + 1: the call fails;
         "late"         the ECU carries it out and answers after 70 ms, past the 50 ms
                        the interface waits: the call fails.
   sid: the request's service identifier it applies to, or -1 for any request.
   skip: matching requests to let through first; count: how many to spoil (-1 = all after).
   Several faults may be armed; every matching one counts the request, the first ready one
   spoils it. 0 = armed, -1 = unknown kind or argument out of range. */
int VciInjectFault(const char *kind, int sid, int nrc, int skip, int count);

/* Disarm every injected fault. 0. */
int VciClearFaults(void);

/* Wire trace: every frame each way with the time stamp of its first byte, as text lines:
     "  1234.567 T> 82 10 F1 21 01 A5"   tester to ECU (one frame a line)
     "  1234.612 E< 83 F1 10 61 01 .."   ECU to tester
     "  1234.000 -- <event>"             line events (line selected, baud rate, fast-init
                                          pattern, keep-alive armed/stopped, ECU awake/asleep,
                                          no answer, checksum wrong, options, faults ...)
   The time stamp is "%10.3f" ms on the line's clock.
   VciTraceText returns everything since the last reset (while kept, see VciKeepTrace);
   VciSetTraceFile also appends every later line to a file, written through a buffer that is
   flushed when the file is closed ("" or null closes it) or the trace is read. 0 = done,
   -1 = cannot open. */
const char *VciTraceText(void);
int VciSetTraceFile(const char *path);

/* 1 (the default, kept across VciReset): VciTraceText has every line. 0: nothing is kept in
   memory, so a session of any length runs in constant memory; frames are then not even
   formatted unless a trace file is open. 2: only the newest 256 kB are kept: memory stays
   bounded however long the session runs. */
void VciKeepTrace(int on);

/* Every frame on the line as bytes, as it goes over the wire: the frames the trace shows as
   "T>" (toEcu 1) and "E<" (toEcu 0) lines, with the same time stamp, whether or not the trace
   is kept. bytes run from the format byte or device identifier to the checksum and are valid
   only during the call. A serial line's keep-alive thread calls it too. One observer at a
   time; null stops it. Kept across VciReset. */
typedef void (*VciFrameObserver)(const unsigned char *bytes, unsigned count, int toEcu, double tMs, void *context);
void VciSetFrameObserver(VciFrameObserver observer, void *context);

/* The first write error of the trace file ("cannot write the trace to F: No space left on
   device"), after flushing what is buffered; "" when none. */
const char *VciTraceWriteError(void);

const char *VciLastError(void);

#ifdef __cplusplus
}
#endif

#endif

/*
 * Screen observer of the workbench display host (libSTD.so): one callback that hears of
 * every screen as the plug-in shows it, whatever the front end (script, line, full screen).
 * vazdiag keeps its session history with it. Strings and arrays in the event are valid only
 * during the call.
 */
#ifndef STD_OBSERVER_H
#define STD_OBSERVER_H

#ifdef __cplusplus
extern "C" {
#endif

enum StdShownKind {
  STD_SHOWN_MESSAGE = 1, /* after the answer: style (VAZ_BOX_*), title, text, answer = the box's result */
  STD_SHOWN_MENU,   /* after the choice: title, entries in lines[].name, answer = entry (0-based, -1 back), text = its
                       text; path = the entries chosen above it (none: the session's top menu) */
  STD_SHOWN_SELECT, /* after the choice: items in lines[] (value "x" = ticked), answer 0 = confirmed, 1 = back */
  STD_SHOWN_STREAM, /* before the front end shows it: pass, recording, live-data items in lines[] */
  STD_SHOWN_CODES,  /* before the front end shows it: lines[] = code text, status ("" none) */
  STD_SHOWN_INPUT,  /* after the answer: title, text = prompt, answer = the number entered */
  STD_SHOWN_PANEL,  /* after the answer: pass, lines[] = values, answer = button (-1 none), text = its label */
  STD_SHOWN_IDENTIFICATION /* before the front end shows it: pass, the control unit's fields in lines[] */
};

typedef struct StdShownLine {
  const char *name;  /* as shown: "Coolant temperature, °C" */
  const char *value; /* as shown, with the plug-in's padding */
  /* Live data: the item's name and unit read apart ("Coolant temperature", "°C"); for the
     other kinds item = name and unit = "". */
  const char *item;
  const char *unit;
  int isNumber;  /* live data: the value is a number ... */
  double number; /* ... and this is it */
} StdShownLine;

typedef struct StdShown {
  int kind;          /* StdShownKind */
  int style;         /* message box style, VAZ_BOX_* (vaz_contracts.h) */
  int answer;        /* see the kinds */
  int pass;          /* data stream, identification and panel: refresh pass from 1 */
  int recording;     /* data stream: live-data recording is on (StdSetLogFile or the record key) */
  const char *title; /* "" when the screen has none */
  const char *text;  /* "" when the screen has none */
  const StdShownLine *lines;
  int lineCount;
  unsigned textId;         /* message: the text ID the plug-in asked for (0 for the other kinds) */
  const char *const *path; /* the menu entries chosen on the way to this screen, outermost first */
  int pathLength;
} StdShown;

typedef void (*StdObserver)(const StdShown *shown, void *context);

/* Calls observer(shown, context) for every screen from now on; null stops it. */
void StdSetObserver(StdObserver observer, void *context);

#ifdef __cplusplus
}
#endif

#endif

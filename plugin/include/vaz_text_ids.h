/*
 * Text IDs whose meaning the hosts rely on as well as the plug-in: the
 * display host tells from them that a session ended on a failure, vazdiag
 * which unit the detection found, the language check how long a state text
 * may be. Plain C, one place for both sides; the texts themselves live in the
 * text library.
 */
#ifndef VAZ_TEXT_IDS_H
#define VAZ_TEXT_IDS_H

/* ---- messages that end a session without a control unit to talk to ---- */
#define VAZ_TEXT_COMM_FAILED 0xFE551004u  /* "Communication with the control unit failed" */
#define VAZ_TEXT_SEND_FAILED 0xFE55101Cu  /* "The control unit did not carry out the command" */
#define VAZ_TEXT_NO_ECU_FOUND 0xFE551026u /* "No known control unit answered" */
#define VAZ_TEXT_NOT_RECOGNISED 0xFE551034u
/* The interface itself refused to open the line: the car was never asked. */
#define VAZ_TEXT_NO_LINE 0xFE551007u

/* ---- "Control unit found: ..." after the automatic detection ---- */
#define VAZ_TEXT_FOUND_M797_E3 0xFE55102Cu
#define VAZ_TEXT_FOUND_M797_E2 0xFE55102Du
#define VAZ_TEXT_FOUND_M154N 0xFE55102Eu /* M1.5.4N, either key */
#define VAZ_TEXT_FOUND_M154 0xFE55102Fu  /* M1.5.4, either key */
#define VAZ_TEXT_FOUND_M70_E3 0xFE551030u
#define VAZ_TEXT_FOUND_M70_E2 0xFE551031u
#define VAZ_TEXT_FOUND_M72 0xFE551032u

/* ---- name lists of the identification fields (DSNAMES.TXT) ---- */
#define VAZ_NAMES_IDENT_M154 0x58200A00u /* all M1.5.4 variants and M7.2 */
#define VAZ_NAMES_IDENT_M70_E2 0x58200B00u
#define VAZ_NAMES_IDENT_M70_E3 0x58200C00u
#define VAZ_NAMES_IDENT_M797 0x58200E00u
/* An entry's list: its ID without the low byte. */
#define VAZ_NAME_LIST_OF(id) ((id) >> 8 << 8)

/* ---- state texts of the data stream ("on", "off", ...) ---- */
#define VAZ_STATE_TEXT_FIRST 0xFE552000u
#define VAZ_STATE_TEXT_LAST 0xFE55209Fu
/* The buffer the plug-in reads one into, terminator included. */
#define VAZ_STATE_TEXT_SIZE 20

#endif

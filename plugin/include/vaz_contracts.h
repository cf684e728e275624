/*
 * Numbers the plug-in shares with its hosts, the workbench and the tests: the
 * host context record, ECU variants and types, detection results, message-box
 * styles, menu IDs and the KWP2000 bytes the plug-in looks at. Plain C, so
 * that any host can read it; every value is part of the binary contract.
 */
#ifndef VAZ_CONTRACTS_H
#define VAZ_CONTRACTS_H

#include "vaz_text_ids.h"

/* ---- the host context record handed to DiagnoseMainOldPrtl ---- */
#define VAZ_CTX_SIZE 3492
#define VAZ_CTX_FUNCTIONS_AT 3476 /* int: availability bits of the menu entries */
#define VAZ_CTX_CONNECTOR_AT 3484 /* byte: the connector pin set (OldConnectType) */
#define VAZ_CTX_ECU_TYPE_AT 3488  /* int: one of VAZ_ECU_TYPE_* */

/* Availability bits at VAZ_CTX_FUNCTIONS_AT; VAZ_FUNC_ALL offers every entry
   in table order instead of filtering. */
enum {
  VAZ_FUNC_CODES = 0x001,
  VAZ_FUNC_ERASE = 0x002,
  VAZ_FUNC_DATA = 0x004,
  VAZ_FUNC_ACTUATOR = 0x008,
  VAZ_FUNC_IDENT = 0x020,
  VAZ_FUNC_SPECIAL = 0x800,
  VAZ_FUNC_ALL = 0x40000000
};

/* ECU types the host chooses (VAZ_CTX_ECU_TYPE_AT). */
enum {
  VAZ_ECU_TYPE_M154 = 1,
  VAZ_ECU_TYPE_M154_ADD = 2,
  VAZ_ECU_TYPE_M154N = 3,
  VAZ_ECU_TYPE_M70_E2 = 4,
  VAZ_ECU_TYPE_M70_E3 = 5,
  VAZ_ECU_TYPE_M72 = 6,
  VAZ_ECU_TYPE_M797_E2 = 7,
  VAZ_ECU_TYPE_M797_E3 = 8,
  VAZ_ECU_TYPE_GM_EFI = 9,
  VAZ_ECU_TYPE_GM_ISFI = 10,
  VAZ_ECU_TYPE_AUTO = 11 /* detect the Bosch unit first */
};

/* ECU variant codes in TOKEN_OLD.wEcuVariant: they pick parameter-file
   records and live-data lists. M7.2 runs as the M1.5.4N variant. */
enum {
  VAZ_VARIANT_GM_ISFI = 0,
  VAZ_VARIANT_GM_EFI = 1,
  VAZ_VARIANT_M154 = 2,
  VAZ_VARIANT_M154_ADD = 3,
  VAZ_VARIANT_M154N = 4,
  VAZ_VARIANT_M70_E2 = 5,
  VAZ_VARIANT_M70_E3 = 6,
  VAZ_VARIANT_M797_E2 = 7,
  VAZ_VARIANT_M797_E3 = 8
};

/* Results of Comm_BOSCH_AUTO_ENG: the unit class found by identification key
   ("M1", "J5"/"V5", "B1", "M7", "I2") and data-block length. */
enum {
  VAZ_DETECT_FAILED = -1, /* no unit answered the probes */
  VAZ_DETECT_NONE = 0,    /* a unit answered but is not one of these */
  VAZ_DETECT_M797_E3 = 1,
  VAZ_DETECT_M797_E2 = 2,
  VAZ_DETECT_M154N_M1 = 3,
  VAZ_DETECT_M154N_J5 = 4,
  VAZ_DETECT_M154_M1 = 5,
  VAZ_DETECT_M154_J5 = 6,
  VAZ_DETECT_M70_E3 = 7,
  VAZ_DETECT_M70_E2 = 8,
  VAZ_DETECT_M72 = 9,
  VAZ_DETECT_LAST = VAZ_DETECT_M72
};

/* Message-box styles of ShowMessageBoxID. */
enum {
  VAZ_BOX_REPORT = 1,   /* a message the user acknowledges */
  VAZ_BOX_QUESTION = 2, /* yes/no: non-zero is yes */
  VAZ_BOX_CONFIRM = 3,  /* asked before acting on the car */
  VAZ_BOX_NOTICE = 5,   /* shown while a request runs; nothing to wait for */
  VAZ_BOX_DONE = 6      /* an outcome: no codes, codes erased */
};
#define VAZ_BOX_DECLINED 3 /* the answer of a declined VAZ_BOX_CONFIRM */
/* What InputIntegerID returns when the user cancels the box: the host never
   takes this number as an entry. */
#define VAZ_INPUT_CANCELLED (-2147483647 - 1)

/* Simulation modes: the first byte of TOKEN_OLD.wSimulate. */
enum {
  VAZ_SIMULATE_OFF = 0,
  VAZ_SIMULATE_LINE = 1, /* the comm routines send nothing and succeed */
  VAZ_SIMULATE_OBD = 2   /* the same for the OBD frame routines alone */
};

/* Counted menu records: the record's text is the entry count, entry n is
   ID + 1 + n. */
#define VAZ_MENU_GM_ISFI 0x58021000u
#define VAZ_MENU_GM_EFI 0x58022000u
#define VAZ_MENU_M70 0x58023000u
#define VAZ_MENU_M154 0x58025000u
#define VAZ_MENU_M154_FAMILY 0x58026000u /* M1.5.4 with additions, M1.5.4N, M7.2 */
#define VAZ_MENU_M797 0x58028000u
#define VAZ_MENU_MISC_M154 0x58027000u /* also M7.2 */
#define VAZ_MENU_MISC_M797 0x5802B000u
#define VAZ_MENU_ACT_M154 0x58030200u
#define VAZ_MENU_ACT_SWITCH 0x58030300u /* on / off of a switched output */
#define VAZ_MENU_ACT_M70 0x58030500u
#define VAZ_MENU_ACT_GM_ISFI 0x58030600u
#define VAZ_MENU_ACT_GM_EFI 0x58030700u
#define VAZ_MENU_ACT_M797 0x58030900u
#define VAZ_MENU_ACT_M72 0x58030B00u
#define VAZ_BUTTON_CO_LOWER 0x58030112u
#define VAZ_BUTTON_CO_RAISE 0x58030113u
#define VAZ_BUTTON_CO_FINISH 0x58030114u

/* KWP2000 service identifiers; a positive answer carries the service + 0x40. */
enum {
  KWP_START_DIAG_SESSION = 0x10,
  KWP_CLEAR_DTC = 0x14,
  KWP_READ_DTC_BY_STATUS = 0x18,
  KWP_READ_ECU_IDENT = 0x1A,
  KWP_STOP_DIAG_SESSION = 0x20,
  KWP_READ_DATA_BY_LOCAL_ID = 0x21,
  KWP_IO_CONTROL_BY_LOCAL_ID = 0x30,
  KWP_ECU_RESET = 0x11,
  KWP_TESTER_PRESENT = 0x3E,
  KWP_START_COMMUNICATION = 0x81,
  KWP_STOP_COMMUNICATION = 0x82,
  KWP_ACCESS_TIMING = 0x83,
  KWP_POSITIVE_OFFSET = 0x40,
  KWP_NEGATIVE_RESPONSE = 0x7F
};

/* Negative-response codes (third byte of a 7F answer). */
enum {
  KWP_NRC_GENERAL_REJECT = 0x10,
  KWP_NRC_SERVICE_NOT_SUPPORTED = 0x11,
  KWP_NRC_SUBFUNCTION_NOT_SUPPORTED = 0x12,
  KWP_NRC_BUSY_REPEAT = 0x21,
  KWP_NRC_CONDITIONS_NOT_CORRECT = 0x22,
  KWP_NRC_REQUEST_OUT_OF_RANGE = 0x31,
  KWP_NRC_RESPONSE_PENDING = 0x78
};

/* KWP2000 format byte of the long header: a separate length byte follows. */
#define KWP_FORMAT_LONG 0x80

#endif

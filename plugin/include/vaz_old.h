/*
 * The exported C interface of libVAZ_OLD.so: the session record, the session
 * globals and every routine a host (or a test) may call, each with the size of
 * the buffers it fills and its results.
 *
 * Layout and prototypes are a binary contract with the handheld tester: the
 * offsets of TOKEN_OLD are checked at compile time in core/session_state.cpp.
 * The result constants only name the values the routines always returned.
 */
#ifndef VAZ_OLD_H
#define VAZ_OLD_H

#include <stdio.h>

#include "vaz_contracts.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;

#define VAZ_EXPORT __attribute__((visibility("default")))

/* One entry of the current item list (data stream or identification). */
typedef struct {
  u32 dwTextId;   /* name: list text ID + 1 + n */
  u8 cItemType;   /* parameter-file item type */
  u16 wItemParam; /* parameter-file item parameter */
  u8 cItemParam2; /* parameter-file second parameter */
  u32 dwCmdId;    /* request frame in COMMAND.GAG: command list ID + 1 + n */
} CD_ITEM;

/* One actuator record of an ECU parameter file; only the text ID is filled. */
typedef struct {
  u32 dwTextId;
  u8 bParam[5];
} ACT_ITEM;

#define VAZ_ANS_SIZE 344 /* an answer buffer: frame count, then length byte and frame per answer */
#define VAZ_DTC_MAX 32
#define VAZ_CD_MAX 300
#define VAZ_ACT_MAX 32

/* All state of one diagnostic session. */
typedef struct {
  u16 wSimulate;
  u16 wEcuVariant;
  u16 wLibParam;
  u8 cFuncCode;
  u8 bAnsBuf[VAZ_ANS_SIZE];
  u32 dwLibDtcAddr;
  u32 dwDtcBase;
  u8 cDtcNum;
  u32 dwDtcCode[VAZ_DTC_MAX];
  u32 dwDtcState[VAZ_DTC_MAX];
  u32 dwLibCdAddr;
  u32 dwLibAddr2;
  u32 dwLibAddr3;
  u8 cCdHeadLen;
  u8 bCdHead[255];
  u16 wCdNum;
  CD_ITEM CdItem[VAZ_CD_MAX];
  u32 dwLibActAddr;
  u8 cActNum;
  ACT_ITEM ActItem[VAZ_ACT_MAX];
  u32 dwCoPos;
  u8 bCoFrame[15];
  u8 bCoRestore[15];
  u8 cCoValue;
} TOKEN_OLD_T;

/* Routine pointer types of the current ECU and menu entry. */
typedef int (*COMM_FN)(u8 funcCode, u16 itemIndex, void *scratch);
typedef int (*CALC_CD_FN)(u16 item, u8 *answer, char *out, u8 itemType, u16 itemParam);
typedef int (*CALC_DTC_FN)(void);

/* Function codes handed to the comm routines. */
enum {
  FC_CONNECT = 0x54, /* 'T' */
  FC_DISCONNECT = 0x01,
  FC_DONE = 0x21,     /* '!' */
  FC_LIBCMD = 0x71,   /* 'q' */
  FC_CODES = 0x31,    /* '1' */
  FC_CURCODES = 0x32, /* '2' */
  FC_ERASE = 0x41,    /* 'A' */
  FC_STREAM = 0x53,   /* 'S' */
  FC_ADC = 0x56,      /* 'V' */
  FC_IMMO = 0x5A      /* 'Z' */
};

#define VAZ_NO_LIST 0xFFFFFFFFu

#define VAZ_CSTRING_SIZE 256      /* CSTRING: one formatted value, NUL included */
#define VAZ_FRAME_SIZE 256        /* a request buffer: length byte, frame, checksum slot */
#define VAZ_FILE_NAME_SIZE 80     /* a host file name: 79 characters and the NUL */
#define VAZ_SELECT_BITMAP_SIZE 40 /* selection bitmap bytes: item n is bit 7 - n % 8 of byte n / 8 */
#define VAZ_SELECT_SHOWN_MAX 40   /* items one data-stream screen shows */

/* Comm routines (COMM_FN) and frame exchanges (SendRec_*): the exchange (or the
   function code) went through, or failed on the line / was refused by the ECU.
   FC_CONNECT also gives VAZ_COMM_NO_LINE when the interface refused the pins. */
enum { VAZ_COMM_OK = 1, VAZ_COMM_NO_LINE = 0, VAZ_COMM_FAILED = -1 };

/* DIAG_* menus, actuator lists and tests: left normally, a request failed, the
   menu could not be built or the display refused an item. */
enum { VAZ_MENU_LEFT = 1, VAZ_MENU_FAILED = -1, VAZ_MENU_UNBUILT = -2 };

/* SelectMenu / SelectMenu_menu: an entry index >= 0, or one of these. */
enum { VAZ_SELECT_BACK = -1, VAZ_SELECT_REFUSED = -2 };

/* Screen services (codes, erase, identification, data stream): done, a request
   failed, the display refused an item. */
enum { VAZ_SERVICE_DONE = 0, VAZ_SERVICE_COMM_FAILED = -1, VAZ_SERVICE_DISPLAY_REFUSED = -2 };

/* Look-ups in the host's ID files (Find_dtc_in_libfile, GetData_Cmd_fromtext,
   GetData_ECU_CD): found; GetData_ECU_CD also gives VAZ_LOOKUP_MISMATCH when
   the command list counts other than the name list. */
enum { VAZ_LOOKUP_FOUND = 1, VAZ_LOOKUP_MISMATCH = 0, VAZ_LOOKUP_MISSING = -1 };

extern VAZ_EXPORT TOKEN_OLD_T TOKEN_OLD;
extern VAZ_EXPORT COMM_FN pFComm;
extern VAZ_EXPORT CALC_CD_FN pFCalcCD;
extern VAZ_EXPORT CALC_DTC_FN pFCalcDTC;
extern VAZ_EXPORT char CSTRING[VAZ_CSTRING_SIZE];
extern VAZ_EXPORT unsigned char OldConnectType;
extern VAZ_EXPORT int iFuncConfig_vaz;

/* ---- session and menus ---- */
/* hostContext: NULL or VAZ_CTX_SIZE bytes, read at the VAZ_CTX_* offsets; always 1 */
VAZ_EXPORT int DiagnoseMainOldPrtl(void *hostContext);
/* each: VAZ_MENU_LEFT, VAZ_MENU_FAILED or VAZ_MENU_UNBUILT */
VAZ_EXPORT int DIAG_GM_ISFI(void);
VAZ_EXPORT int DIAG_GM_EFI(void);
VAZ_EXPORT int DIAG_BOSCH_M154(void);
VAZ_EXPORT int DIAG_BOSCH_M154_ADD(void);
VAZ_EXPORT int DIAG_BOSCH_M154N(void);
VAZ_EXPORT int DIAG_BOSCH_M72(void);
VAZ_EXPORT int DIAG_BOSCH_M70_E2(void);
VAZ_EXPORT int DIAG_BOSCH_M70_E3(void);
VAZ_EXPORT int DIAG_BOSCH_M797_E2(void);
VAZ_EXPORT int DIAG_BOSCH_M797_E3(void);
/* entry index, VAZ_SELECT_BACK (also: nothing offered) or VAZ_SELECT_REFUSED */
VAZ_EXPORT int SelectMenu_menu(u32 menuId, int preselect);
/* entries: room for 8 (the longest offer list); returns how many it wrote */
VAZ_EXPORT int FuncConfig(int *entries, u32 menuId);

/* ---- link layer ---- */
/* frame: VAZ_FRAME_SIZE, length byte first, checksum written in place;
   answer: VAZ_ANS_SIZE; VAZ_COMM_OK or VAZ_COMM_FAILED */
VAZ_EXPORT int SendRec_KWP2000(u8 *frame, u8 *answer);
VAZ_EXPORT int SendRec_GM(u8 *frame, u8 *answer);
VAZ_EXPORT int SendRec_MICAS(u8 *frame, u8 *answer);
/* each: VAZ_COMM_*, from bAnsBuf; scratch is unused */
VAZ_EXPORT int Comm_BOSCH_M154_ENG(u8 funcCode, u16 itemIndex, void *scratch);
VAZ_EXPORT int Comm_BOSCH_M70_ENG(u8 funcCode, u16 itemIndex, void *scratch);
VAZ_EXPORT int Comm_BOSCH_M797_E2_ENG(u8 funcCode, u16 itemIndex, void *scratch);
VAZ_EXPORT int Comm_BOSCH_M797_E3_ENG(u8 funcCode, u16 itemIndex, void *scratch);
VAZ_EXPORT int Comm_GM_ISFI_ENG(u8 funcCode, u16 itemIndex, void *scratch);
VAZ_EXPORT int Comm_GM_EFI_ENG(u8 funcCode, u16 itemIndex, void *scratch);
/* a VAZ_DETECT_* result; shows the found unit's box */
VAZ_EXPORT int Comm_BOSCH_AUTO_ENG(void);
/* frame: VAZ_FRAME_SIZE, cleared then filled; VAZ_LOOKUP_FOUND or VAZ_LOOKUP_MISSING */
VAZ_EXPORT int GetData_Cmd_fromtext(u32 textId, u8 *frame);
/* out: 4 bytes, most significant first */
VAZ_EXPORT void Change_ID_to_point(u32 value, u8 *out);

/* ---- diagnostic services ---- */
/* fills TOKEN_OLD.CdItem (at most VAZ_CD_MAX); VAZ_LOOKUP_* */
VAZ_EXPORT int GetData_ECU_CD(u32 nameListId, u32 commandListId);
/* the screen services: VAZ_SERVICE_*; values go through CSTRING */
VAZ_EXPORT int CurrentData_SingleCom_Allcal(void);
VAZ_EXPORT int CurrentData_SingleCom_SingleCalc(void);
VAZ_EXPORT int CurrentData_SingleCom_Allcal_DisplayAll(void);
/* the CO panel: 0 finished, 1 finished but the ECU refused a finishing command,
   -1 live data failed, -2 panel refused or third failed CO request */
VAZ_EXPORT int CurrentData_SingleCom_Allcal_DisplayCO(void);
/* bitmap: VAZ_SELECT_BITMAP_SIZE, filled by the display; 1 when the user went back */
VAZ_EXPORT int CurrentData_OneToOne_SelectFunc(u8 *bitmap);
/* bitmap: VAZ_SELECT_BITMAP_SIZE; indices: room for itemCount; returns how many */
VAZ_EXPORT int Get_CurrentData_OneToOne_Selected(u16 itemCount, const u8 *bitmap, u16 *indices);
VAZ_EXPORT int TroubleCode_SingleCom(void);
VAZ_EXPORT int EraseCode_SingleCom(void);
VAZ_EXPORT int INFO_SingleCom_SingleCalc(void);
/* VAZ_LOOKUP_FOUND or VAZ_LOOKUP_MISSING (also when the file cannot be read) */
VAZ_EXPORT int Find_dtc_in_libfile(u32 textId);
/* answer: VAZ_ANS_SIZE; out: up to 256 bytes (length byte included); size or -1 */
VAZ_EXPORT int Get_EcuAnsdata(int frameNumber, const u8 *answer, u8 *out);

/* ---- value conversion: data formulas ----
   answer: VAZ_ANS_SIZE, read only as far as the item's bytes; out: CSTRING,
   VAZ_CSTRING_SIZE, NUL-terminated; item counts from 1; returns the text's length */
#define VAZ_CALC(name) VAZ_EXPORT int name(u16 item, u8 *answer, char *out, u8 itemType, u16 itemParam)
VAZ_CALC(CalCd_BOSCH_M154_ENG);
VAZ_CALC(CalCd_BOSCH_M154N_ENG);
VAZ_CALC(CalCd_BOSCH_M154N_ADC_ENG);
VAZ_CALC(CalCd_BOSCH_M154_ADD_ADC_ENG);
VAZ_CALC(CalCd_BOSCH_M70_ENG);
VAZ_CALC(CalCd_BOSCHM70_ADC_ENG);
VAZ_CALC(CalCd_BOSCH_M70_E3_ENG);
VAZ_CALC(CalCd_BOSCH_M797_E2_ENG);
VAZ_CALC(CalCd_BOSCH_M797_E3_ENG);
VAZ_CALC(CalCd_BOSCH_M797_E2_E3_ADC_ENG);
VAZ_CALC(CalCd_BOSCH_M797_E2_E3_IMM_ENG);
VAZ_CALC(CalCd_BOSCH_M72_ENG_1);
VAZ_CALC(CalCd_BOSCH_M72_ADC_ENG);
VAZ_CALC(CalCd_BOSCH_M72_ENG);
VAZ_CALC(CalCd_GM_ISFI_ENG);
VAZ_CALC(CalCd_GM_ISFI_ENG_WORKFLAGS);
VAZ_CALC(CalCd_GM_EFI_ENG);
VAZ_CALC(CalCd_GM_EFI_ENG_WORKFLAGS);
/* identification formulas */
VAZ_CALC(CalcInfo_BOSCH_M154_ENG);
VAZ_CALC(CalcInfo_BOSCH_M70_ENG);
VAZ_CALC(CalcInfo_BOSCH_M797_E2_ENG);
#undef VAZ_CALC

/* ---- value conversion: trouble-code decoders ----
   read bAnsBuf, fill TOKEN_OLD.dwDtcCode (at most VAZ_DTC_MAX) and return the count */
VAZ_EXPORT int CalDtc_GM_ISFI_ENG_CUR(void);
VAZ_EXPORT int CalDtc_GM_ISFI_ENG_STORE(void);
VAZ_EXPORT int CalDtc_GM_EFI(void);
VAZ_EXPORT int CalDtc_BOSCH_M154_ENG_CURRENT(void);
VAZ_EXPORT int CalDtc_BOSCH_M72_ENG_CURRENT(void);
VAZ_EXPORT int CalDtc_BOSCH_M154_ENG(void);
VAZ_EXPORT int CalDtc_BOSCH_M70_ENG(void);
VAZ_EXPORT int CalDtc_BOSCH_M797_E2_ENG(void);

/* ---- host bridge ---- */
VAZ_EXPORT void *OpenStdDll(void);
VAZ_EXPORT int OpenShowInterfaceDLL(void);
VAZ_EXPORT int OpenSearchIDDLL(void);
VAZ_EXPORT int OpenLanguageDLL(void);
VAZ_EXPORT int OpenGetPathDLL(void);
VAZ_EXPORT int OpenAbstractCommDll(void);
VAZ_EXPORT int OpenDiagReadFileDll(void);
VAZ_EXPORT int OpenDiagFuncDll(void);
VAZ_EXPORT int OpenDiagDsFuncDll(void);
VAZ_EXPORT int OpenDiagDtcFuncDll(void);
VAZ_EXPORT int OpenDiagVerFuncDll(void);
VAZ_EXPORT int OpenDiagCommDll(void);
VAZ_EXPORT int OpenDiagCalcDll(void);
VAZ_EXPORT int OpenDiagActFuncDll(void);
VAZ_EXPORT int CloseStdDll(void);
VAZ_EXPORT int CloseAbstractCommDll(void);
VAZ_EXPORT int CloseDiagReadFileDll(void);
VAZ_EXPORT int CloseDiagFuncDll(void);
VAZ_EXPORT int CloseDiagDsFuncDll(void);
VAZ_EXPORT int CloseDiagDtcFuncDll(void);
VAZ_EXPORT int CloseDiagVerFuncDll(void);
VAZ_EXPORT int CloseDiagCommDll(void);
VAZ_EXPORT int CloseDiagCalcDll(void);
VAZ_EXPORT int CloseDiagActFuncDll(void);
/* buffer: `size` bytes; the program's folder with its separator, or NULL */
VAZ_EXPORT char *get_path(char *buffer, int size);
VAZ_EXPORT FILE *FOPEN(const char *path, const char *mode);
VAZ_EXPORT int wrDllLog(int code, const char *text);
VAZ_EXPORT const char *DllError(void);

extern VAZ_EXPORT void *pStdDll;
extern VAZ_EXPORT void *pAbstractCommdlHandle;
extern VAZ_EXPORT void *pDiagReadFileDll;
extern VAZ_EXPORT void *pDiagFuncDll;
extern VAZ_EXPORT void *pDiagDsFuncHandle;
extern VAZ_EXPORT void *pDiagDtcFuncHandle;
extern VAZ_EXPORT void *pDiagVerFuncHandle;
extern VAZ_EXPORT void *pDiagCommdlHandle;
extern VAZ_EXPORT void *pDiagCalcHandle;
extern VAZ_EXPORT void *pDiagActFuncHandle;

/* The plug-in's version, "major.minor.patch" (the build's project version), for a host
 * to log or show; a static string, valid while the library is loaded. */
VAZ_EXPORT const char *VazOldVersion(void);

#ifdef __cplusplus
}
#endif

#include "vaz_host_slots.h"
#include "vaz_old_config.h"
#include "vaz_old_tests.h"

#endif

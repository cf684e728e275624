/*
 * Types of the host functions the plug-in binds, one per symbol of
 * vaz_host_symbols.h: NAME_ft the function, NAME_fn a pointer to it. The
 * services the plug-in calls have their real prototypes, written here; the
 * rest take nothing.
 * The plug-in's slots, the workbench hosts' declarations and the test doubles
 * all take their types from here.
 */
#ifndef VAZ_HOST_TYPES_H
#define VAZ_HOST_TYPES_H

#include "vaz_host_symbols.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char u8;
typedef unsigned int u32;

typedef int InitMenuID_ft(u32 titleId);
typedef int AddMenuTextID_ft(u32 textId);
typedef int ShowMenuGetSelectedItem_ft(short preselect, int reserved1, int reserved2);
typedef int InitTroubleCode_ft(void);
typedef int AddTroubleCode_ft(u32 codeId, u32 statusId);
typedef int ShowTroubleCode_ft(void);
typedef int InitDataStream_ft(void);
typedef int AddDataStreamItem_ft(u32 nameId, const char *value);
typedef int ShowDataStream_ft(void);
typedef int ShowMessageBoxID_ft(u32 textId, u32 titleId, int style);
typedef int InitStreamSelectedBox_ft(u8 *bitmap);
typedef int AddStreamSelectBox_ft(u32 nameId);
typedef int ShowStreamSelectBox_ft(int reserved, u8 *bitmap);
typedef int InputIntegerID_ft(u32 titleId, u32 promptId);
typedef int AddActiveTestItem_ft(u32 nameId, const char *value);
typedef int ShowActiveTestItem_ft(void);
typedef int InitActiveTest_ft(int buttonCount, ...);
typedef void *SearchIdOpenFile_ft(const char *path);
typedef int SearchIdCloseFile_ft(void *handle);
typedef int GetTextFromTextLib_ft(u32 textId, char *out, int size);
typedef int IdSearch_ft(const u8 *key, u8 *out, int maxLength, void *handle);
typedef int OpenStdCommDll_ft(void);
typedef int CloseStdCommDll_ft(void);
typedef int SelectPIN_ft(u8 connector, int a, int b, int c, int d);
typedef int BeginCombination_ft(void);
typedef int EndCombination_ft(void);
typedef int SetCommunicationMaximumWaitTime_ft(int ms);
typedef int EnableLLine_ft(int on);
typedef int SetEcuCommunicationVoltageLogic_ft(int a, int b);
typedef int SetEcuBaudRate_ft(float baud);
typedef int SetCommunicationParameter_ft(int a, int b, int c, int d);
typedef int SetEcuCommTimeInterval_ft(float a, int b, int c);
typedef int SetLinkKeep_ft(u8 *frame, int length, int a, int b);
typedef int SetCommunicationLineVoltage_ft(int mode, int lowMs, int highMs);
typedef int IsoInitSendDataToEcuGetAnswer_ft(int a, int p, int q);
typedef int IsoAddSendDataToEcuGetAnswer_ft(int length, u8 *frame);
typedef int IsoSendAndReceiveSendDataToEcuGetAnswer_ft(int p, int size);
typedef int KwpSendDataToEcuGetAnswer_ft(int a, u8 *answer, int maxLength, int frames, u8 *frame);
typedef char *GetFileNameText_ft(int kind);
typedef int DiagGetFilePath_ft(char *out, int size);
typedef int OneToOne_SendDataToEcuGetAnswer_ft(int a, u8 *answer, int b, int c, int length, u8 *frame, int d, int e,
                                               int f);
typedef int GMSendMultiFrameToECUGetAnswer_ft(int length, u8 *frame, u8 *answer, int size);
typedef int PWM_SendDataToEcuGetAnswer_ft(int a, u8 *answer, int b, int c, int length, u8 *frame);

/* Symbols the plug-in binds but never calls take nothing and answer an int. */
#define VAZ_PLAIN_TYPE(name) typedef int name##_ft(void);
VAZ_LIST_A_BY(VAZ_SKIP, VAZ_PLAIN_TYPE)
VAZ_LIST_B_BY(VAZ_SKIP, VAZ_PLAIN_TYPE)
VAZ_LIST_C_BY(VAZ_SKIP, VAZ_PLAIN_TYPE, VAZ_PLAIN_TYPE)
VAZ_LIST_D(VAZ_PLAIN_TYPE)
VAZ_LIST_OPTIONAL(VAZ_PLAIN_TYPE)
#undef VAZ_PLAIN_TYPE

#define VAZ_POINTER_TYPE(name) typedef name##_ft *name##_fn;
VAZ_LIST_A(VAZ_POINTER_TYPE)
VAZ_LIST_B(VAZ_POINTER_TYPE)
VAZ_LIST_C(VAZ_POINTER_TYPE)
VAZ_LIST_D(VAZ_POINTER_TYPE)
VAZ_LIST_EXTRA(VAZ_POINTER_TYPE)
#undef VAZ_POINTER_TYPE

#ifdef __cplusplus
}
#endif

#endif

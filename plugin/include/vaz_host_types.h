/*
 * Types of the host functions the plug-in binds, one per symbol of
 * vaz_host_symbols.h: NAME_ft the function, NAME_fn a pointer to it. The
 * services the plug-in calls have their real prototypes, the rest take nothing.
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

typedef int InitStd_ft(void);
typedef int CommunicationPacketFormat_ft(void);
typedef int FileDialog_ft(void);
typedef int GetDravikSn_ft(void);
typedef int OnExitDiagnosticProgram_ft(void);
typedef int InitMenuID_ft(u32 titleId);
typedef int InitDSMenuID_ft(void);
typedef int AddMenuTextID_ft(u32 textId);
typedef int ShowMenuGetSelectedItem_ft(short preselect, int reserved1, int reserved2);
typedef int InitTroubleCode_ft(void);
typedef int AddTroubleCode_ft(u32 codeId, u32 statusId);
typedef int ShowTroubleCode_ft(void);
typedef int InitDataStream_ft(void);
typedef int AddDataStreamItem_ft(u32 nameId, const char *value);
typedef int ShowDataStream_ft(void);
typedef int ShowAudiDataStream_ft(void);
typedef int InitVwDataStream_ft(void);
typedef int AddVwDataStreamItem_ft(void);
typedef int ShowVwDataStream_ft(void);
typedef int ShowMessageBox_ft(void);
typedef int ShowMessageBoxID_ft(u32 textId, u32 titleId, int style);
typedef int InitStreamSelectedBox_ft(u8 *bitmap);
typedef int AddStreamSelectBox_ft(u32 nameId);
typedef int ShowStreamSelectBox_ft(int reserved, u8 *bitmap);
typedef int ShowStreamSelect_ft(void);
typedef int InputInteger_ft(void);
typedef int InputIntegerID_ft(u32 titleId, u32 promptId);
typedef int InputString_ft(void);
typedef int InputStringID_ft(void);
typedef int ActiveTestAddButton_ft(void);
typedef int AddActiveTestItem_ft(u32 nameId, const char *value);
typedef int ShowActiveTestItem_ft(void);
typedef int ShowActiveTestItemUseTitleID_ft(void);
typedef int ShowPicture_ft(void);
typedef int SetTroubleCodeCallBackFunction_ft(void);
typedef int InputStringExID_ft(void);
typedef int InputStringEx_ft(void);
typedef int InputNumeric_ft(void);
typedef int InputNumericID_ft(void);
typedef int InitTroubleCodeFrozen_ft(void);
typedef int AddTroubleCodeFrozen_ft(void);
typedef int ShowTroubleCodeFrozen_ft(void);
typedef int InitActiveTest_ft(int buttonCount, ...);
typedef int CloseCommunicationPort_ft(void);
typedef int SendGGPNametoShowProcess_ft(void);
typedef int GetInfoFormHovrinIni_ft(void);
typedef int ShowAgingInfo_ft(void);
typedef int SendData_ft(void);
typedef int ReceiveData_ft(void);
typedef int SendByte_ft(void);
typedef int ReceiveByte_ft(void);
typedef int GetStdVerInfo_ft(void);
typedef int GetBoxSerialNum_ft(void);
typedef int InitSpecialFunction_ft(void);
typedef int AddSpecialFunctionColumn_ft(void);
typedef int AddSpecialFunctionButton_ft(void);
typedef int AddSpecialFunctionItem_ft(void);
typedef int ShowSpecialFunction_ft(void);
typedef int GetDataStreamItem_ft(void);
typedef int InitDataStreamEx_ft(void);
typedef int AddDataStreamItemEx_ft(void);
typedef int ShowDataStreamEx_ft(void);
typedef int InitTroubleCodeEx_ft(void);
typedef int AddTroubleCodeEx_ft(void);
typedef int ShowTroubleCodeEx_ft(void);
typedef int SetCurrentMenuPath_ft(void);
typedef int GetDiagProcessWay_ft(void);
typedef int EnableHistoryRecord_ft(void);
typedef int RecordMake_ft(void);
typedef int RecordModel_ft(void);
typedef int RecordEngine_ft(void);
typedef int RecordYear_ft(void);
typedef int RecordVin_ft(void);
typedef int RecordActiveTest_ft(void);
typedef int RecordSystemIDInfo_ft(void);
typedef int GetSysNum_ft(void);
typedef int GetSystemIDInfo_ft(void);
typedef int RecordDSAvailableInfo_ft(void);
typedef int GetDSAvailableInfo_ft(void);
typedef int RecordActiveTestAvailableInfo_ft(void);
typedef int GetActiveTestAvailableInfo_ft(void);
typedef int RecordVehicleInfo_ft(void);
typedef int GetVehicleInfo_ft(void);
typedef int RecordMenuPath_ft(void);
typedef int GetMenuPath_ft(void);
typedef int RecordSubmodel_ft(void);
typedef int ShowProgressBarBoxID_ft(void);
typedef int ShowProgressBarBox_ft(void);
typedef int SetDiagFuncInfo_ft(void);
typedef int StartRecordDiagData_ft(void);
typedef int StopRecordDiagData_ft(void);
typedef int InitSpecialDataStream_ft(void);
typedef int SetSpecialDataStreamMainItemRange_ft(void);
typedef int AddSpecialDataStreamMainItem_ft(void);
typedef int AddSpecialDataStreamAttachedItem_ft(void);
typedef int ShowSpecialDataStream_ft(void);
typedef int FromIdGetBinaryString_ft(void);
typedef void *SearchIdOpenFile_ft(const char *path);
typedef int SearchIdCloseFile_ft(void *handle);
typedef int GetTextFromTextLib_ft(u32 textId, char *out, int size);
typedef int ggp_Open_ft(void);
typedef int GetPrivateProFileInt_ft(void);
typedef int IdSearch_ft(const u8 *key, u8 *out, int maxLength, void *handle);
typedef int SetFixTextIdBuffer_ft(void);
typedef int DelIdBuffer_ft(void);
typedef int ggp_Close_ft(void);
typedef int GetGAGOffsetFromGGP_ft(void);
typedef int GetGAGSizeFromGGP_ft(void);
typedef int fseekGGP_ft(void);
typedef int GetPrivateProFileString_ft(void);
typedef int SetPrivateProFileString_ft(void);
typedef int SetPrivateProFileInt_ft(void);
typedef int OpenStdCommDll_ft(void);
typedef int CloseStdCommDll_ft(void);
typedef int Connector_Identify_ft(void);
typedef int SelectPIN_ft(u8 connector, int a, int b, int c, int d);
typedef int CanCmdCheckXor_ft(void);
typedef int CanSetParameterNormal_ft(void);
typedef int CanSetParameterALL_ft(void);
typedef int CanSetParameter_ft(void);
typedef int CanInitialize_ft(void);
typedef int BeginCombination_ft(void);
typedef int EndCombination_ft(void);
typedef int SetCommunicationMaximumWaitTime_ft(int ms);
typedef int SelectIoLine_ft(void);
typedef int EnableLLine_ft(int on);
typedef int SetEcuCommunicationVoltageLogic_ft(int a, int b);
typedef int SetDtsVoltage_ft(void);
typedef int SetEcuBaudRate_ft(float baud);
typedef int SetCommunicationParameter_ft(int a, int b, int c, int d);
typedef int SetEcuCommTimeInterval_ft(float a, int b, int c);
typedef int SetLinkKeep_ft(u8 *frame, int length, int a, int b);
typedef int SetCommunicationLineVoltage_ft(int mode, int lowMs, int highMs);
typedef int AddressCodeCommunicationWay_ft(void);
typedef int KwpSendDataToEcuGetAnswer_more_ft(void);
typedef int AddressCodeWay_ft(void);
typedef int IsoSendDataToEcuGetMultiFrameAnswer_ft(void);
typedef int IsoSendDataToEcuGetAnswer_ft(void);
typedef int IsoInitSendDataToEcuGetAnswer_ft(int a, int p, int q);
typedef int IsoAddSendDataToEcuGetAnswer_ft(int length, u8 *frame);
typedef int IsoSendAndReceiveSendDataToEcuGetAnswer_ft(int p, int size);
typedef int BoschEnterReturnVersion2_ft(void);
typedef int KwpSendDataToEcuGetMultiFrameAnswer_ft(void);
typedef int KwpSendDataToEcuGetAnswer_ft(int a, u8 *answer, int maxLength, int frames, u8 *frame);
typedef int KwpInitSendDataToEcuGetAnswer_ft(void);
typedef int KwpAddSendDataToEcuGetAnswer_ft(void);
typedef int KwpSendAndReceiveSendDataToEcuGetAnswer_ft(void);
typedef int KWP2000_SendDataToEcuGetAnswer_ft(void);
typedef int VPW_SendDataToEcuGetMultiFrameAnswer_ft(void);
typedef int SetCanLinkKeep_Mit_ft(void);
typedef int SetCanIIBusLinkKeep_ft(void);
typedef int SetEnterFrame_ft(void);
typedef int CanSendMulFrameGetMulFrameGN_ft(void);
typedef int AddressCodeWayAdjustTime_ft(void);
typedef int EndCombinationBuffer_ft(void);
typedef int ValdrixResetConnector_ft(void);
typedef int BoschEnterReturnVersionAudi_ft(void);
typedef int SetBenzHMFLinkKeep_ft(void);
typedef int KwpSendDataToEcuGetAnswer_benz_ft(void);
typedef int AddressCodeWayAdjustTime_benz_ft(void);
typedef int AddressCodeCommunicationWay_Lline_ft(void);
typedef int KwpSendDataToEcuGetMultiFrameAnswer_benz_ft(void);
typedef int TestDravikExternMemory_ALL_ft(void);
typedef int GetDravikVersion_ALL_ft(void);
typedef int BreakCommWithECM_ft(void);
typedef int SendOneFrameToEcuGetMultiFrameAnswer_ft(void);
typedef int CumminsSAE1939_SendMultiFramesToEcuGetAnswer_ft(void);
typedef int KwpSendDataToEcuGetAnswer_BMW_ft(void);
typedef int CanSendMulFrameGetMulFrameGN_BENZ_ft(void);
typedef int TestDTS_ft(void);
typedef int CanSendMulFrameGetMoreSingleFrame_ft(void);
typedef int SetMultiPinComm_ft(void);
typedef int SelectMultiIoLine_ft(void);
typedef int SetEnterFrameExt_ft(void);
typedef int CanSetEnterFrame_ft(void);
typedef int CanSendAndRecv_ft(void);
typedef int GetBoxInfo_ft(void);
typedef int ResetComm_ft(void);
typedef int GetCommVerInfo_ft(void);
typedef int GetProductInfo_ft(void);
typedef int IOSelfTest_ft(void);
typedef int DBSCarSecurCertf_ft(void);
typedef int GetDownloadType_ft(void);
typedef int SetExeFilePath_ft(void);
typedef int GetSysParamData_ft(void);
typedef int GetModeDataJapArea_ft(void);
typedef int move_lib_data_ft(void);
typedef int GetData_ft(void);
typedef int GetDataAddr_ft(void);
typedef int GetFrzData_ft(void);
typedef int OpenTxtFile_ft(void);
typedef int CloseTxtFile_ft(void);
typedef int GetModeData_ft(void);
typedef int LoadScript_ft(void);
typedef int SearchTxtByID_ft(void);
typedef int GetFuncCfgInfo_ft(void);
typedef int GetCommandFromCommandLib_ft(void);
typedef int FromCmdIdToCmdBuff_ft(void);
typedef int GetDsData_EX_ft(void);
typedef int AES_Encrypt_ft(void);
typedef int AES_Decrypt_ft(void);
typedef char *GetFileNameText_ft(int kind);
typedef int DiagGetFilePath_ft(char *out, int size);
typedef int OneToOne_SendDataToEcuGetAnswer_ft(int a, u8 *answer, int b, int c, int length, u8 *frame, int d, int e, int f);
typedef int GMSendMultiFrameToECUGetAnswer_ft(int length, u8 *frame, u8 *answer, int size);
typedef int PWM_SendDataToEcuGetAnswer_ft(int a, u8 *answer, int b, int c, int length, u8 *frame);
typedef int diagnose_func_ft(void);
typedef int ReadDataStream_ft(void);
typedef int ReadDtc_ft(void);
typedef int ClearDtc_ft(void);
typedef int ReadVerInfo_ft(void);
typedef int VazCommunicationPro_ft(void);
typedef int VazKwpInitialize_ft(void);
typedef int VazVpwInitialize_ft(void);
typedef int VazIsoInitialize_ft(void);
typedef int VazSetLinkKeep_ft(void);
typedef int FromCmdInfoToSendCmd_ft(void);
typedef int VazCanInitialize_ft(void);
typedef int UpdateCanFilterId_ft(void);
typedef int ResultCalcFromScript_ft(void);
typedef int SpecialExpressCalc_ft(void);
typedef int Actuate_ft(void);
typedef int GazSpeMain_ft(void);

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

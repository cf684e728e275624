/*
 * The plug-in's host-function slots: one exported function pointer per symbol
 * of the display host and the vehicle interface, named exactly as the symbol.
 * The loader (host/host_loader.cpp) fills them; every other routine calls the
 * hosts only through them, so a test can put its own functions in the slots.
 */
#ifndef VAZ_HOST_SLOTS_H
#define VAZ_HOST_SLOTS_H

#ifdef __cplusplus
extern "C" {
#endif

#include "vaz_host_symbols.h"

/* Slot types: the services the plug-in calls have their real prototypes. */
typedef int (*InitStd_fn)(void);
typedef int (*CommunicationPacketFormat_fn)(void);
typedef int (*FileDialog_fn)(void);
typedef int (*GetDravikSn_fn)(void);
typedef int (*OnExitDiagnosticProgram_fn)(void);
typedef int (*InitMenuID_fn)(u32 titleId);
typedef int (*InitDSMenuID_fn)(void);
typedef int (*AddMenuTextID_fn)(u32 textId);
typedef int (*ShowMenuGetSelectedItem_fn)(short preselect, int reserved1, int reserved2);
typedef int (*InitTroubleCode_fn)(void);
typedef int (*AddTroubleCode_fn)(u32 codeId, u32 statusId);
typedef int (*ShowTroubleCode_fn)(void);
typedef int (*InitDataStream_fn)(void);
typedef int (*AddDataStreamItem_fn)(u32 nameId, const char *value);
typedef int (*ShowDataStream_fn)(void);
typedef int (*ShowAudiDataStream_fn)(void);
typedef int (*InitVwDataStream_fn)(void);
typedef int (*AddVwDataStreamItem_fn)(void);
typedef int (*ShowVwDataStream_fn)(void);
typedef int (*ShowMessageBox_fn)(void);
typedef int (*ShowMessageBoxID_fn)(u32 textId, u32 titleId, int style);
typedef int (*InitStreamSelectedBox_fn)(u8 *bitmap);
typedef int (*AddStreamSelectBox_fn)(u32 nameId);
typedef int (*ShowStreamSelectBox_fn)(int reserved, u8 *bitmap);
typedef int (*ShowStreamSelect_fn)(void);
typedef int (*InputInteger_fn)(void);
typedef int (*InputIntegerID_fn)(u32 titleId, u32 promptId);
typedef int (*InputString_fn)(void);
typedef int (*InputStringID_fn)(void);
typedef int (*ActiveTestAddButton_fn)(void);
typedef int (*AddActiveTestItem_fn)(u32 nameId, const char *value);
typedef int (*ShowActiveTestItem_fn)(void);
typedef int (*ShowActiveTestItemUseTitleID_fn)(void);
typedef int (*ShowPicture_fn)(void);
typedef int (*SetTroubleCodeCallBackFunction_fn)(void);
typedef int (*InputStringExID_fn)(void);
typedef int (*InputStringEx_fn)(void);
typedef int (*InputNumeric_fn)(void);
typedef int (*InputNumericID_fn)(void);
typedef int (*InitTroubleCodeFrozen_fn)(void);
typedef int (*AddTroubleCodeFrozen_fn)(void);
typedef int (*ShowTroubleCodeFrozen_fn)(void);
typedef int (*InitActiveTest_fn)(int buttonCount, ...);
typedef int (*CloseCommunicationPort_fn)(void);
typedef int (*SendGGPNametoShowProcess_fn)(void);
typedef int (*GetInfoFormHovrinIni_fn)(void);
typedef int (*ShowAgingInfo_fn)(void);
typedef int (*SendData_fn)(void);
typedef int (*ReceiveData_fn)(void);
typedef int (*SendByte_fn)(void);
typedef int (*ReceiveByte_fn)(void);
typedef int (*GetStdVerInfo_fn)(void);
typedef int (*GetBoxSerialNum_fn)(void);
typedef int (*InitSpecialFunction_fn)(void);
typedef int (*AddSpecialFunctionColumn_fn)(void);
typedef int (*AddSpecialFunctionButton_fn)(void);
typedef int (*AddSpecialFunctionItem_fn)(void);
typedef int (*ShowSpecialFunction_fn)(void);
typedef int (*GetDataStreamItem_fn)(void);
typedef int (*InitDataStreamEx_fn)(void);
typedef int (*AddDataStreamItemEx_fn)(void);
typedef int (*ShowDataStreamEx_fn)(void);
typedef int (*InitTroubleCodeEx_fn)(void);
typedef int (*AddTroubleCodeEx_fn)(void);
typedef int (*ShowTroubleCodeEx_fn)(void);
typedef int (*SetCurrentMenuPath_fn)(void);
typedef int (*GetDiagProcessWay_fn)(void);
typedef int (*EnableHistoryRecord_fn)(void);
typedef int (*RecordMake_fn)(void);
typedef int (*RecordModel_fn)(void);
typedef int (*RecordEngine_fn)(void);
typedef int (*RecordYear_fn)(void);
typedef int (*RecordVin_fn)(void);
typedef int (*RecordActiveTest_fn)(void);
typedef int (*RecordSystemIDInfo_fn)(void);
typedef int (*GetSysNum_fn)(void);
typedef int (*GetSystemIDInfo_fn)(void);
typedef int (*RecordDSAvailableInfo_fn)(void);
typedef int (*GetDSAvailableInfo_fn)(void);
typedef int (*RecordActiveTestAvailableInfo_fn)(void);
typedef int (*GetActiveTestAvailableInfo_fn)(void);
typedef int (*RecordVehicleInfo_fn)(void);
typedef int (*GetVehicleInfo_fn)(void);
typedef int (*RecordMenuPath_fn)(void);
typedef int (*GetMenuPath_fn)(void);
typedef int (*RecordSubmodel_fn)(void);
typedef int (*ShowProgressBarBoxID_fn)(void);
typedef int (*ShowProgressBarBox_fn)(void);
typedef int (*SetDiagFuncInfo_fn)(void);
typedef int (*StartRecordDiagData_fn)(void);
typedef int (*StopRecordDiagData_fn)(void);
typedef int (*InitSpecialDataStream_fn)(void);
typedef int (*SetSpecialDataStreamMainItemRange_fn)(void);
typedef int (*AddSpecialDataStreamMainItem_fn)(void);
typedef int (*AddSpecialDataStreamAttachedItem_fn)(void);
typedef int (*ShowSpecialDataStream_fn)(void);
typedef int (*FromIdGetBinaryString_fn)(void);
typedef void * (*SearchIdOpenFile_fn)(const char *path);
typedef int (*SearchIdCloseFile_fn)(void *handle);
typedef int (*GetTextFromTextLib_fn)(u32 textId, char *out, int size);
typedef int (*ggp_Open_fn)(void);
typedef int (*GetPrivateProFileInt_fn)(void);
typedef int (*IdSearch_fn)(const u8 *key, u8 *out, int maxLength, void *handle);
typedef int (*SetFixTextIdBuffer_fn)(void);
typedef int (*DelIdBuffer_fn)(void);
typedef int (*ggp_Close_fn)(void);
typedef int (*GetGAGOffsetFromGGP_fn)(void);
typedef int (*GetGAGSizeFromGGP_fn)(void);
typedef int (*fseekGGP_fn)(void);
typedef int (*GetPrivateProFileString_fn)(void);
typedef int (*SetPrivateProFileString_fn)(void);
typedef int (*SetPrivateProFileInt_fn)(void);
typedef int (*OpenStdCommDll_fn)(void);
typedef int (*CloseStdCommDll_fn)(void);
typedef int (*Connector_Identify_fn)(void);
typedef int (*SelectPIN_fn)(u8 connector, int a, int b, int c, int d);
typedef int (*CanCmdCheckXor_fn)(void);
typedef int (*CanSetParameterNormal_fn)(void);
typedef int (*CanSetParameterALL_fn)(void);
typedef int (*CanSetParameter_fn)(void);
typedef int (*CanInitialize_fn)(void);
typedef int (*BeginCombination_fn)(void);
typedef int (*EndCombination_fn)(void);
typedef int (*SetCommunicationMaximumWaitTime_fn)(int ms);
typedef int (*SelectIoLine_fn)(void);
typedef int (*EnableLLine_fn)(int on);
typedef int (*SetEcuCommunicationVoltageLogic_fn)(int a, int b);
typedef int (*SetDtsVoltage_fn)(void);
typedef int (*SetEcuBaudRate_fn)(float baud);
typedef int (*SetCommunicationParameter_fn)(int a, int b, int c, int d);
typedef int (*SetEcuCommTimeInterval_fn)(float a, int b, int c);
typedef int (*SetLinkKeep_fn)(u8 *frame, int length, int a, int b);
typedef int (*SetCommunicationLineVoltage_fn)(int mode, int lowMs, int highMs);
typedef int (*AddressCodeCommunicationWay_fn)(void);
typedef int (*KwpSendDataToEcuGetAnswer_more_fn)(void);
typedef int (*AddressCodeWay_fn)(void);
typedef int (*IsoSendDataToEcuGetMultiFrameAnswer_fn)(void);
typedef int (*IsoSendDataToEcuGetAnswer_fn)(void);
typedef int (*IsoInitSendDataToEcuGetAnswer_fn)(int a, int p, int q);
typedef int (*IsoAddSendDataToEcuGetAnswer_fn)(int length, u8 *frame);
typedef int (*IsoSendAndReceiveSendDataToEcuGetAnswer_fn)(int p, int size);
typedef int (*BoschEnterReturnVersion2_fn)(void);
typedef int (*KwpSendDataToEcuGetMultiFrameAnswer_fn)(void);
typedef int (*KwpSendDataToEcuGetAnswer_fn)(int a, u8 *answer, int maxLength, int frames, u8 *frame);
typedef int (*KwpInitSendDataToEcuGetAnswer_fn)(void);
typedef int (*KwpAddSendDataToEcuGetAnswer_fn)(void);
typedef int (*KwpSendAndReceiveSendDataToEcuGetAnswer_fn)(void);
typedef int (*KWP2000_SendDataToEcuGetAnswer_fn)(void);
typedef int (*VPW_SendDataToEcuGetMultiFrameAnswer_fn)(void);
typedef int (*SetCanLinkKeep_Mit_fn)(void);
typedef int (*SetCanIIBusLinkKeep_fn)(void);
typedef int (*SetEnterFrame_fn)(void);
typedef int (*CanSendMulFrameGetMulFrameGN_fn)(void);
typedef int (*AddressCodeWayAdjustTime_fn)(void);
typedef int (*EndCombinationBuffer_fn)(void);
typedef int (*ValdrixResetConnector_fn)(void);
typedef int (*BoschEnterReturnVersionAudi_fn)(void);
typedef int (*SetBenzHMFLinkKeep_fn)(void);
typedef int (*KwpSendDataToEcuGetAnswer_benz_fn)(void);
typedef int (*AddressCodeWayAdjustTime_benz_fn)(void);
typedef int (*AddressCodeCommunicationWay_Lline_fn)(void);
typedef int (*KwpSendDataToEcuGetMultiFrameAnswer_benz_fn)(void);
typedef int (*TestDravikExternMemory_ALL_fn)(void);
typedef int (*GetDravikVersion_ALL_fn)(void);
typedef int (*BreakCommWithECM_fn)(void);
typedef int (*SendOneFrameToEcuGetMultiFrameAnswer_fn)(void);
typedef int (*CumminsSAE1939_SendMultiFramesToEcuGetAnswer_fn)(void);
typedef int (*KwpSendDataToEcuGetAnswer_BMW_fn)(void);
typedef int (*CanSendMulFrameGetMulFrameGN_BENZ_fn)(void);
typedef int (*TestDTS_fn)(void);
typedef int (*CanSendMulFrameGetMoreSingleFrame_fn)(void);
typedef int (*SetMultiPinComm_fn)(void);
typedef int (*SelectMultiIoLine_fn)(void);
typedef int (*SetEnterFrameExt_fn)(void);
typedef int (*CanSetEnterFrame_fn)(void);
typedef int (*CanSendAndRecv_fn)(void);
typedef int (*GetBoxInfo_fn)(void);
typedef int (*ResetComm_fn)(void);
typedef int (*GetCommVerInfo_fn)(void);
typedef int (*GetProductInfo_fn)(void);
typedef int (*IOSelfTest_fn)(void);
typedef int (*DBSCarSecurCertf_fn)(void);
typedef int (*GetDownloadType_fn)(void);
typedef int (*SetExeFilePath_fn)(void);
typedef int (*GetSysParamData_fn)(void);
typedef int (*GetModeDataJapArea_fn)(void);
typedef int (*move_lib_data_fn)(void);
typedef int (*GetData_fn)(void);
typedef int (*GetDataAddr_fn)(void);
typedef int (*GetFrzData_fn)(void);
typedef int (*OpenTxtFile_fn)(void);
typedef int (*CloseTxtFile_fn)(void);
typedef int (*GetModeData_fn)(void);
typedef int (*LoadScript_fn)(void);
typedef int (*SearchTxtByID_fn)(void);
typedef int (*GetFuncCfgInfo_fn)(void);
typedef int (*GetCommandFromCommandLib_fn)(void);
typedef int (*FromCmdIdToCmdBuff_fn)(void);
typedef int (*GetDsData_EX_fn)(void);
typedef int (*AES_Encrypt_fn)(void);
typedef int (*AES_Decrypt_fn)(void);
typedef char * (*GetFileNameText_fn)(int kind);
typedef int (*DiagGetFilePath_fn)(char *out, int size);
typedef int (*OneToOne_SendDataToEcuGetAnswer_fn)(int a, u8 *answer, int b, int c, int length, u8 *frame, int d, int e, int f);
typedef int (*GMSendMultiFrameToECUGetAnswer_fn)(int length, u8 *frame, u8 *answer, int size);
typedef int (*PWM_SendDataToEcuGetAnswer_fn)(int a, u8 *answer, int b, int c, int length, u8 *frame);
typedef int (*diagnose_func_fn)(void);
typedef int (*ReadDataStream_fn)(void);
typedef int (*ReadDtc_fn)(void);
typedef int (*ClearDtc_fn)(void);
typedef int (*ReadVerInfo_fn)(void);
typedef int (*VazCommunicationPro_fn)(void);
typedef int (*VazKwpInitialize_fn)(void);
typedef int (*VazVpwInitialize_fn)(void);
typedef int (*VazIsoInitialize_fn)(void);
typedef int (*VazSetLinkKeep_fn)(void);
typedef int (*FromCmdInfoToSendCmd_fn)(void);
typedef int (*VazCanInitialize_fn)(void);
typedef int (*UpdateCanFilterId_fn)(void);
typedef int (*ResultCalcFromScript_fn)(void);
typedef int (*SpecialExpressCalc_fn)(void);
typedef int (*Actuate_fn)(void);
typedef int (*GazSpeMain_fn)(void);

#define VAZ_DECLARE_SLOT(name) extern VAZ_EXPORT name##_fn name;
VAZ_LIST_A(VAZ_DECLARE_SLOT)
VAZ_LIST_B(VAZ_DECLARE_SLOT)
VAZ_LIST_C(VAZ_DECLARE_SLOT)
VAZ_LIST_D(VAZ_DECLARE_SLOT)
VAZ_LIST_EXTRA(VAZ_DECLARE_SLOT)
#undef VAZ_DECLARE_SLOT

#ifdef __cplusplus
}
#endif

#endif

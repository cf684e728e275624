/*
 * Names of every host symbol the plug-in binds, as X-macro lists in binding
 * order (the order is part of the loader's result codes). Shared by the slot
 * declarations and by test doubles of the host libraries.
 */
#ifndef VAZ_HOST_SYMBOLS_H
#define VAZ_HOST_SYMBOLS_H

/* display services of libSTD.so (96) */
#define VAZ_LIST_A(X) \
  X(InitStd) \
  X(CommunicationPacketFormat) \
  X(FileDialog) \
  X(GetDravikSn) \
  X(OnExitDiagnosticProgram) \
  X(InitMenuID) \
  X(InitDSMenuID) \
  X(AddMenuTextID) \
  X(ShowMenuGetSelectedItem) \
  X(InitTroubleCode) \
  X(AddTroubleCode) \
  X(ShowTroubleCode) \
  X(InitDataStream) \
  X(AddDataStreamItem) \
  X(ShowDataStream) \
  X(ShowAudiDataStream) \
  X(InitVwDataStream) \
  X(AddVwDataStreamItem) \
  X(ShowVwDataStream) \
  X(ShowMessageBox) \
  X(ShowMessageBoxID) \
  X(InitStreamSelectedBox) \
  X(AddStreamSelectBox) \
  X(ShowStreamSelectBox) \
  X(ShowStreamSelect) \
  X(InputInteger) \
  X(InputIntegerID) \
  X(InputString) \
  X(InputStringID) \
  X(ActiveTestAddButton) \
  X(AddActiveTestItem) \
  X(ShowActiveTestItem) \
  X(ShowActiveTestItemUseTitleID) \
  X(ShowPicture) \
  X(SetTroubleCodeCallBackFunction) \
  X(InputStringExID) \
  X(InputStringEx) \
  X(InputNumeric) \
  X(InputNumericID) \
  X(InitTroubleCodeFrozen) \
  X(AddTroubleCodeFrozen) \
  X(ShowTroubleCodeFrozen) \
  X(InitActiveTest) \
  X(CloseCommunicationPort) \
  X(SendGGPNametoShowProcess) \
  X(GetInfoFormHovrinIni) \
  X(ShowAgingInfo) \
  X(SendData) \
  X(ReceiveData) \
  X(SendByte) \
  X(ReceiveByte) \
  X(GetStdVerInfo) \
  X(GetBoxSerialNum) \
  X(InitSpecialFunction) \
  X(AddSpecialFunctionColumn) \
  X(AddSpecialFunctionButton) \
  X(AddSpecialFunctionItem) \
  X(ShowSpecialFunction) \
  X(GetDataStreamItem) \
  X(InitDataStreamEx) \
  X(AddDataStreamItemEx) \
  X(ShowDataStreamEx) \
  X(InitTroubleCodeEx) \
  X(AddTroubleCodeEx) \
  X(ShowTroubleCodeEx) \
  X(SetCurrentMenuPath) \
  X(GetDiagProcessWay) \
  X(EnableHistoryRecord) \
  X(RecordMake) \
  X(RecordModel) \
  X(RecordEngine) \
  X(RecordYear) \
  X(RecordVin) \
  X(RecordActiveTest) \
  X(RecordSystemIDInfo) \
  X(GetSysNum) \
  X(GetSystemIDInfo) \
  X(RecordDSAvailableInfo) \
  X(GetDSAvailableInfo) \
  X(RecordActiveTestAvailableInfo) \
  X(GetActiveTestAvailableInfo) \
  X(RecordVehicleInfo) \
  X(GetVehicleInfo) \
  X(RecordMenuPath) \
  X(GetMenuPath) \
  X(RecordSubmodel) \
  X(ShowProgressBarBoxID) \
  X(ShowProgressBarBox) \
  X(SetDiagFuncInfo) \
  X(StartRecordDiagData) \
  X(StopRecordDiagData) \
  X(InitSpecialDataStream) \
  X(SetSpecialDataStreamMainItemRange) \
  X(AddSpecialDataStreamMainItem) \
  X(AddSpecialDataStreamAttachedItem) \
  X(ShowSpecialDataStream) 

/* text-search and INI services of libSTD.so (16) */
#define VAZ_LIST_B(X) \
  X(FromIdGetBinaryString) \
  X(SearchIdOpenFile) \
  X(SearchIdCloseFile) \
  X(GetTextFromTextLib) \
  X(ggp_Open) \
  X(GetPrivateProFileInt) \
  X(IdSearch) \
  X(SetFixTextIdBuffer) \
  X(DelIdBuffer) \
  X(ggp_Close) \
  X(GetGAGOffsetFromGGP) \
  X(GetGAGSizeFromGGP) \
  X(fseekGGP) \
  X(GetPrivateProFileString) \
  X(SetPrivateProFileString) \
  X(SetPrivateProFileInt) 

/* vehicle-interface services of libCOMM_ABSTRACT_LAYER.so (71) */
#define VAZ_LIST_C(X) \
  X(OpenStdCommDll) \
  X(CloseStdCommDll) \
  X(Connector_Identify) \
  X(SelectPIN) \
  X(CanCmdCheckXor) \
  X(CanSetParameterNormal) \
  X(CanSetParameterALL) \
  X(CanSetParameter) \
  X(CanInitialize) \
  X(BeginCombination) \
  X(EndCombination) \
  X(SetCommunicationMaximumWaitTime) \
  X(SelectIoLine) \
  X(EnableLLine) \
  X(SetEcuCommunicationVoltageLogic) \
  X(SetDtsVoltage) \
  X(SetEcuBaudRate) \
  X(SetCommunicationParameter) \
  X(SetEcuCommTimeInterval) \
  X(SetLinkKeep) \
  X(SetCommunicationLineVoltage) \
  X(AddressCodeCommunicationWay) \
  X(KwpSendDataToEcuGetAnswer_more) \
  X(AddressCodeWay) \
  X(IsoSendDataToEcuGetMultiFrameAnswer) \
  X(IsoSendDataToEcuGetAnswer) \
  X(IsoInitSendDataToEcuGetAnswer) \
  X(IsoAddSendDataToEcuGetAnswer) \
  X(IsoSendAndReceiveSendDataToEcuGetAnswer) \
  X(BoschEnterReturnVersion2) \
  X(KwpSendDataToEcuGetMultiFrameAnswer) \
  X(KwpSendDataToEcuGetAnswer) \
  X(KwpInitSendDataToEcuGetAnswer) \
  X(KwpAddSendDataToEcuGetAnswer) \
  X(KwpSendAndReceiveSendDataToEcuGetAnswer) \
  X(KWP2000_SendDataToEcuGetAnswer) \
  X(VPW_SendDataToEcuGetMultiFrameAnswer) \
  X(SetCanLinkKeep_Mit) \
  X(SetCanIIBusLinkKeep) \
  X(SetEnterFrame) \
  X(CanSendMulFrameGetMulFrameGN) \
  X(AddressCodeWayAdjustTime) \
  X(EndCombinationBuffer) \
  X(ValdrixResetConnector) \
  X(BoschEnterReturnVersionAudi) \
  X(SetBenzHMFLinkKeep) \
  X(KwpSendDataToEcuGetAnswer_benz) \
  X(AddressCodeWayAdjustTime_benz) \
  X(AddressCodeCommunicationWay_Lline) \
  X(KwpSendDataToEcuGetMultiFrameAnswer_benz) \
  X(TestDravikExternMemory_ALL) \
  X(GetDravikVersion_ALL) \
  X(BreakCommWithECM) \
  X(SendOneFrameToEcuGetMultiFrameAnswer) \
  X(CumminsSAE1939_SendMultiFramesToEcuGetAnswer) \
  X(KwpSendDataToEcuGetAnswer_BMW) \
  X(CanSendMulFrameGetMulFrameGN_BENZ) \
  X(TestDTS) \
  X(CanSendMulFrameGetMoreSingleFrame) \
  X(SetMultiPinComm) \
  X(SelectMultiIoLine) \
  X(SetEnterFrameExt) \
  X(CanSetEnterFrame) \
  X(CanSendAndRecv) \
  X(GetBoxInfo) \
  X(ResetComm) \
  X(GetCommVerInfo) \
  X(GetProductInfo) \
  X(IOSelfTest) \
  X(DBSCarSecurCertf) \
  X(GetDownloadType) 

/* file services of libVAZ_FILE.so (18) */
#define VAZ_LIST_D(X) \
  X(SetExeFilePath) \
  X(GetSysParamData) \
  X(GetModeDataJapArea) \
  X(move_lib_data) \
  X(GetData) \
  X(GetDataAddr) \
  X(GetFrzData) \
  X(OpenTxtFile) \
  X(CloseTxtFile) \
  X(GetModeData) \
  X(LoadScript) \
  X(SearchTxtByID) \
  X(GetFuncCfgInfo) \
  X(GetCommandFromCommandLib) \
  X(FromCmdIdToCmdBuff) \
  X(GetDsData_EX) \
  X(AES_Encrypt) \
  X(AES_Decrypt) 

/* the other bound symbols (22) */
#define VAZ_LIST_EXTRA(X) \
  X(GetFileNameText) \
  X(DiagGetFilePath) \
  X(OneToOne_SendDataToEcuGetAnswer) \
  X(GMSendMultiFrameToECUGetAnswer) \
  X(PWM_SendDataToEcuGetAnswer) \
  X(diagnose_func) \
  X(ReadDataStream) \
  X(ReadDtc) \
  X(ClearDtc) \
  X(ReadVerInfo) \
  X(VazCommunicationPro) \
  X(VazKwpInitialize) \
  X(VazVpwInitialize) \
  X(VazIsoInitialize) \
  X(VazSetLinkKeep) \
  X(FromCmdInfoToSendCmd) \
  X(VazCanInitialize) \
  X(UpdateCanFilterId) \
  X(ResultCalcFromScript) \
  X(SpecialExpressCalc) \
  X(Actuate) \
  X(GazSpeMain) 

#endif

/*
 * Names of every host symbol the plug-in binds, as X-macro lists in binding
 * order (the order is part of the loader's result codes). The one list of these
 * names: the slot declarations, the workbench hosts' exports and declarations,
 * their version scripts and the test doubles of the host libraries all expand it.
 *
 * The display and vehicle-interface lists also say what the plug-in does with
 * each symbol: CALLED ones it calls with the prototypes of vaz_host_types.h;
 * the others it only binds, and a host offers them as do-nothing services
 * (SETTING: queries and settings, answering 0; TRANSFER: transfers and protocol
 * entries, failing with -1). VAZ_LIST_A(X) and the like expand every symbol alike.
 */
#ifndef VAZ_HOST_SYMBOLS_H
#define VAZ_HOST_SYMBOLS_H

/* display services of libSTD.so (96) */
#define VAZ_LIST_A_BY(CALLED, BOUND)       \
  BOUND(InitStd)                           \
  BOUND(CommunicationPacketFormat)         \
  BOUND(FileDialog)                        \
  BOUND(GetDravikSn)                       \
  BOUND(OnExitDiagnosticProgram)           \
  CALLED(InitMenuID)                       \
  BOUND(InitDSMenuID)                      \
  CALLED(AddMenuTextID)                    \
  CALLED(ShowMenuGetSelectedItem)          \
  CALLED(InitTroubleCode)                  \
  CALLED(AddTroubleCode)                   \
  CALLED(ShowTroubleCode)                  \
  CALLED(InitDataStream)                   \
  CALLED(AddDataStreamItem)                \
  CALLED(ShowDataStream)                   \
  BOUND(ShowAudiDataStream)                \
  BOUND(InitVwDataStream)                  \
  BOUND(AddVwDataStreamItem)               \
  BOUND(ShowVwDataStream)                  \
  BOUND(ShowMessageBox)                    \
  CALLED(ShowMessageBoxID)                 \
  CALLED(InitStreamSelectedBox)            \
  CALLED(AddStreamSelectBox)               \
  CALLED(ShowStreamSelectBox)              \
  BOUND(ShowStreamSelect)                  \
  BOUND(InputInteger)                      \
  CALLED(InputIntegerID)                   \
  BOUND(InputString)                       \
  BOUND(InputStringID)                     \
  BOUND(ActiveTestAddButton)               \
  CALLED(AddActiveTestItem)                \
  CALLED(ShowActiveTestItem)               \
  BOUND(ShowActiveTestItemUseTitleID)      \
  BOUND(ShowPicture)                       \
  BOUND(SetTroubleCodeCallBackFunction)    \
  BOUND(InputStringExID)                   \
  BOUND(InputStringEx)                     \
  BOUND(InputNumeric)                      \
  BOUND(InputNumericID)                    \
  BOUND(InitTroubleCodeFrozen)             \
  BOUND(AddTroubleCodeFrozen)              \
  BOUND(ShowTroubleCodeFrozen)             \
  CALLED(InitActiveTest)                   \
  BOUND(CloseCommunicationPort)            \
  BOUND(SendGGPNametoShowProcess)          \
  BOUND(GetInfoFormHovrinIni)              \
  BOUND(ShowAgingInfo)                     \
  BOUND(SendData)                          \
  BOUND(ReceiveData)                       \
  BOUND(SendByte)                          \
  BOUND(ReceiveByte)                       \
  BOUND(GetStdVerInfo)                     \
  BOUND(GetBoxSerialNum)                   \
  BOUND(InitSpecialFunction)               \
  BOUND(AddSpecialFunctionColumn)          \
  BOUND(AddSpecialFunctionButton)          \
  BOUND(AddSpecialFunctionItem)            \
  BOUND(ShowSpecialFunction)               \
  BOUND(GetDataStreamItem)                 \
  BOUND(InitDataStreamEx)                  \
  BOUND(AddDataStreamItemEx)               \
  BOUND(ShowDataStreamEx)                  \
  BOUND(InitTroubleCodeEx)                 \
  BOUND(AddTroubleCodeEx)                  \
  BOUND(ShowTroubleCodeEx)                 \
  BOUND(SetCurrentMenuPath)                \
  BOUND(GetDiagProcessWay)                 \
  BOUND(EnableHistoryRecord)               \
  BOUND(RecordMake)                        \
  BOUND(RecordModel)                       \
  BOUND(RecordEngine)                      \
  BOUND(RecordYear)                        \
  BOUND(RecordVin)                         \
  BOUND(RecordActiveTest)                  \
  BOUND(RecordSystemIDInfo)                \
  BOUND(GetSysNum)                         \
  BOUND(GetSystemIDInfo)                   \
  BOUND(RecordDSAvailableInfo)             \
  BOUND(GetDSAvailableInfo)                \
  BOUND(RecordActiveTestAvailableInfo)     \
  BOUND(GetActiveTestAvailableInfo)        \
  BOUND(RecordVehicleInfo)                 \
  BOUND(GetVehicleInfo)                    \
  BOUND(RecordMenuPath)                    \
  BOUND(GetMenuPath)                       \
  BOUND(RecordSubmodel)                    \
  BOUND(ShowProgressBarBoxID)              \
  BOUND(ShowProgressBarBox)                \
  BOUND(SetDiagFuncInfo)                   \
  BOUND(StartRecordDiagData)               \
  BOUND(StopRecordDiagData)                \
  BOUND(InitSpecialDataStream)             \
  BOUND(SetSpecialDataStreamMainItemRange) \
  BOUND(AddSpecialDataStreamMainItem)      \
  BOUND(AddSpecialDataStreamAttachedItem)  \
  BOUND(ShowSpecialDataStream)
#define VAZ_LIST_A(X) VAZ_LIST_A_BY(X, X)

/* text-search and INI services of libSTD.so (16) */
#define VAZ_LIST_B_BY(CALLED, BOUND) \
  BOUND(FromIdGetBinaryString)       \
  CALLED(SearchIdOpenFile)           \
  CALLED(SearchIdCloseFile)          \
  CALLED(GetTextFromTextLib)         \
  BOUND(ggp_Open)                    \
  BOUND(GetPrivateProFileInt)        \
  CALLED(IdSearch)                   \
  BOUND(SetFixTextIdBuffer)          \
  BOUND(DelIdBuffer)                 \
  BOUND(ggp_Close)                   \
  BOUND(GetGAGOffsetFromGGP)         \
  BOUND(GetGAGSizeFromGGP)           \
  BOUND(fseekGGP)                    \
  BOUND(GetPrivateProFileString)     \
  BOUND(SetPrivateProFileString)     \
  BOUND(SetPrivateProFileInt)
#define VAZ_LIST_B(X) VAZ_LIST_B_BY(X, X)

/* vehicle-interface services of libCOMM_ABSTRACT_LAYER.so (71) */
#define VAZ_LIST_C_BY(CALLED, SETTING, TRANSFER)         \
  CALLED(OpenStdCommDll)                                 \
  CALLED(CloseStdCommDll)                                \
  SETTING(Connector_Identify)                            \
  CALLED(SelectPIN)                                      \
  TRANSFER(CanCmdCheckXor)                               \
  TRANSFER(CanSetParameterNormal)                        \
  TRANSFER(CanSetParameterALL)                           \
  TRANSFER(CanSetParameter)                              \
  TRANSFER(CanInitialize)                                \
  CALLED(BeginCombination)                               \
  CALLED(EndCombination)                                 \
  CALLED(SetCommunicationMaximumWaitTime)                \
  SETTING(SelectIoLine)                                  \
  CALLED(EnableLLine)                                    \
  CALLED(SetEcuCommunicationVoltageLogic)                \
  SETTING(SetDtsVoltage)                                 \
  CALLED(SetEcuBaudRate)                                 \
  CALLED(SetCommunicationParameter)                      \
  CALLED(SetEcuCommTimeInterval)                         \
  CALLED(SetLinkKeep)                                    \
  CALLED(SetCommunicationLineVoltage)                    \
  TRANSFER(AddressCodeCommunicationWay)                  \
  TRANSFER(KwpSendDataToEcuGetAnswer_more)               \
  TRANSFER(AddressCodeWay)                               \
  TRANSFER(IsoSendDataToEcuGetMultiFrameAnswer)          \
  TRANSFER(IsoSendDataToEcuGetAnswer)                    \
  CALLED(IsoInitSendDataToEcuGetAnswer)                  \
  CALLED(IsoAddSendDataToEcuGetAnswer)                   \
  CALLED(IsoSendAndReceiveSendDataToEcuGetAnswer)        \
  TRANSFER(BoschEnterReturnVersion2)                     \
  TRANSFER(KwpSendDataToEcuGetMultiFrameAnswer)          \
  CALLED(KwpSendDataToEcuGetAnswer)                      \
  TRANSFER(KwpInitSendDataToEcuGetAnswer)                \
  TRANSFER(KwpAddSendDataToEcuGetAnswer)                 \
  TRANSFER(KwpSendAndReceiveSendDataToEcuGetAnswer)      \
  TRANSFER(KWP2000_SendDataToEcuGetAnswer)               \
  TRANSFER(VPW_SendDataToEcuGetMultiFrameAnswer)         \
  TRANSFER(SetCanLinkKeep_Mit)                           \
  TRANSFER(SetCanIIBusLinkKeep)                          \
  TRANSFER(SetEnterFrame)                                \
  TRANSFER(CanSendMulFrameGetMulFrameGN)                 \
  TRANSFER(AddressCodeWayAdjustTime)                     \
  TRANSFER(EndCombinationBuffer)                         \
  SETTING(ValdrixResetConnector)                         \
  TRANSFER(BoschEnterReturnVersionAudi)                  \
  TRANSFER(SetBenzHMFLinkKeep)                           \
  TRANSFER(KwpSendDataToEcuGetAnswer_benz)               \
  TRANSFER(AddressCodeWayAdjustTime_benz)                \
  TRANSFER(AddressCodeCommunicationWay_Lline)            \
  TRANSFER(KwpSendDataToEcuGetMultiFrameAnswer_benz)     \
  SETTING(TestDravikExternMemory_ALL)                    \
  SETTING(GetDravikVersion_ALL)                          \
  SETTING(BreakCommWithECM)                              \
  TRANSFER(SendOneFrameToEcuGetMultiFrameAnswer)         \
  TRANSFER(CumminsSAE1939_SendMultiFramesToEcuGetAnswer) \
  TRANSFER(KwpSendDataToEcuGetAnswer_BMW)                \
  TRANSFER(CanSendMulFrameGetMulFrameGN_BENZ)            \
  SETTING(TestDTS)                                       \
  TRANSFER(CanSendMulFrameGetMoreSingleFrame)            \
  SETTING(SetMultiPinComm)                               \
  SETTING(SelectMultiIoLine)                             \
  TRANSFER(SetEnterFrameExt)                             \
  TRANSFER(CanSetEnterFrame)                             \
  TRANSFER(CanSendAndRecv)                               \
  SETTING(GetBoxInfo)                                    \
  SETTING(ResetComm)                                     \
  SETTING(GetCommVerInfo)                                \
  SETTING(GetProductInfo)                                \
  SETTING(IOSelfTest)                                    \
  SETTING(DBSCarSecurCertf)                              \
  SETTING(GetDownloadType)
#define VAZ_LIST_C(X) VAZ_LIST_C_BY(X, X, X)

/* file services of libVAZ_FILE.so (18) */
#define VAZ_LIST_D(X)         \
  X(SetExeFilePath)           \
  X(GetSysParamData)          \
  X(GetModeDataJapArea)       \
  X(move_lib_data)            \
  X(GetData)                  \
  X(GetDataAddr)              \
  X(GetFrzData)               \
  X(OpenTxtFile)              \
  X(CloseTxtFile)             \
  X(GetModeData)              \
  X(LoadScript)               \
  X(SearchTxtByID)            \
  X(GetFuncCfgInfo)           \
  X(GetCommandFromCommandLib) \
  X(FromCmdIdToCmdBuff)       \
  X(GetDsData_EX)             \
  X(AES_Encrypt)              \
  X(AES_Decrypt)

/* the other bound symbols (22): the language and path services of libSTD.so,
   bound one by one; the vehicle interface's services bound after list C without
   a check; the optional libraries' entries */
#define VAZ_LIST_LANGUAGE(X) X(GetFileNameText)
#define VAZ_LIST_GET_PATH(X) X(DiagGetFilePath)
/* all three called */
#define VAZ_LIST_COMM_EXTRAS(X)      \
  X(OneToOne_SendDataToEcuGetAnswer) \
  X(GMSendMultiFrameToECUGetAnswer)  \
  X(PWM_SendDataToEcuGetAnswer)
/* entries of the optional libraries */
#define VAZ_LIST_OPTIONAL(X) \
  X(diagnose_func)           \
  X(ReadDataStream)          \
  X(ReadDtc)                 \
  X(ClearDtc)                \
  X(ReadVerInfo)             \
  X(VazCommunicationPro)     \
  X(VazKwpInitialize)        \
  X(VazVpwInitialize)        \
  X(VazIsoInitialize)        \
  X(VazSetLinkKeep)          \
  X(FromCmdInfoToSendCmd)    \
  X(VazCanInitialize)        \
  X(UpdateCanFilterId)       \
  X(ResultCalcFromScript)    \
  X(SpecialExpressCalc)      \
  X(Actuate)                 \
  X(GazSpeMain)
#define VAZ_LIST_EXTRA(X) VAZ_LIST_LANGUAGE(X) VAZ_LIST_GET_PATH(X) VAZ_LIST_COMM_EXTRAS(X) VAZ_LIST_OPTIONAL(X)

/* Everything each workbench host exports for the plug-in, and the part of it the
   plug-in calls. */
#define VAZ_SKIP(name)
#define VAZ_LIST_DISPLAY(X) VAZ_LIST_A(X) VAZ_LIST_B(X) VAZ_LIST_LANGUAGE(X) VAZ_LIST_GET_PATH(X)
#define VAZ_LIST_DISPLAY_CALLED(X) \
  VAZ_LIST_A_BY(X, VAZ_SKIP) VAZ_LIST_B_BY(X, VAZ_SKIP) VAZ_LIST_LANGUAGE(X) VAZ_LIST_GET_PATH(X)
#define VAZ_LIST_VCI(X) VAZ_LIST_C(X) VAZ_LIST_COMM_EXTRAS(X)
#define VAZ_LIST_VCI_CALLED(X) VAZ_LIST_C_BY(X, VAZ_SKIP, VAZ_SKIP) VAZ_LIST_COMM_EXTRAS(X)

#endif

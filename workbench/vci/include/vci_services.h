/*
 * Services of the workbench vehicle interface (libCOMM_ABSTRACT_LAYER.so) that the plug-in
 * binds by name, with the prototypes the plug-in calls them with. The other exported
 * services of the interface take no arguments and do nothing useful here.
 */
#ifndef VCI_SERVICES_H
#define VCI_SERVICES_H

#ifdef __cplusplus
extern "C" {
#endif

int OpenStdCommDll(void);
int CloseStdCommDll(void);
int SelectPIN(unsigned char connector, int a, int b, int c, int d);
int EnableLLine(int on);
int BeginCombination(void);
int EndCombination(void);
int SetCommunicationMaximumWaitTime(int ms);
int SetEcuCommunicationVoltageLogic(int a, int b);
int SetEcuBaudRate(float baud);
int SetCommunicationParameter(int a, int b, int c, int d);
int SetEcuCommTimeInterval(float a, int b, int c);
int SetCommunicationLineVoltage(int mode, int lowMs, int highMs);
int KwpSendDataToEcuGetAnswer(int a, unsigned char *answer, int maxLength, int frames, unsigned char *frame);
int OneToOne_SendDataToEcuGetAnswer(int a, unsigned char *answer, int b, int c, int length, unsigned char *frame,
                                    int d, int e, int f);
int GMSendMultiFrameToECUGetAnswer(int length, unsigned char *frame, unsigned char *answer, int size);
int PWM_SendDataToEcuGetAnswer(int a, unsigned char *answer, int b, int c, int length, unsigned char *frame);
int IsoInitSendDataToEcuGetAnswer(int a, int p, int q);
int IsoAddSendDataToEcuGetAnswer(int length, unsigned char *frame);
int IsoSendAndReceiveSendDataToEcuGetAnswer(int p, int size);
int SetLinkKeep(unsigned char *frame, int length, int a, int b);

#ifdef __cplusplus
}
#endif

#endif

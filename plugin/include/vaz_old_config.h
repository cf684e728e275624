/*
 * Exported helpers the host calls around sessions: the standard configuration
 * file, and the ECU parameter file and OBD frame helpers.
 */
#ifndef VAZ_OLD_CONFIG_H
#define VAZ_OLD_CONFIG_H

#ifdef __cplusplus
extern "C" {
#endif

/* standard configuration file */
VAZ_EXPORT int GetStdCfgValue(const char *key);
VAZ_EXPORT int GetIniCfgIntValueFromKey(char *text, const char *key);
VAZ_EXPORT void StringReplace(char *text, const char *from, const char *to);
VAZ_EXPORT int GetProductTypeDirPath(char *base, const char *serial, char *out);
VAZ_EXPORT int SetStdFunctionInterfaceState(void);
VAZ_EXPORT u16 GetButtType(void);
VAZ_EXPORT int MakeStringToHexBuffer(u8 *out, const char *text);
VAZ_EXPORT int UpdateKey(u8 *buffer, int length, u8 value, int position);
VAZ_EXPORT int wrfile(void);

/* ECU parameter file and OBD frames */
VAZ_EXPORT int ECU_move_lib_data(const char *path, int offset, void *buffer, u32 size);
VAZ_EXPORT int ECU_GetDataAddr(const char *path);
VAZ_EXPORT int ECU_GetData_CD(const char *path, int offset);
VAZ_EXPORT int ECU_GetData_ACT(const char *path, int offset);
VAZ_EXPORT int ECU_GetData(const char *path);
VAZ_EXPORT int OBD_Set_CRC(u8 *frame);
VAZ_EXPORT int OBD_Set_Sum(u8 *frame);
VAZ_EXPORT int Get_PWMCmd_inframe(const char *path, int tableOffset, u8 *frame, int index);
VAZ_EXPORT int Get_PWMFrame_Cmd(const char *path, int frameOffset, u8 *frame);
VAZ_EXPORT int Get_ISOFrame_Cmd(const char *path, int frameOffset, u8 *frame);
VAZ_EXPORT int Send_Recv_PwmOBD_Frame(u8 *frame, u8 *answer);
VAZ_EXPORT int Send_Recv_ISO_Frame(u8 *frame, u8 *answer);
VAZ_EXPORT int Send_Recv_ISO_Frame_Multi(u8 *frame, int p, int q);

#ifdef __cplusplus
}
#endif

#endif

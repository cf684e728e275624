/*
 * The display services of libSTD.so as the plug-in calls them, for programs
 * that call the display host directly (its tests and fuzz targets).
 */
#ifndef STD_SERVICES_H
#define STD_SERVICES_H

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char u8;
typedef unsigned int u32;

int ShowMessageBoxID(u32 textId, u32 titleId, int style);
int InitMenuID(u32 titleId);
int AddMenuTextID(u32 textId);
int ShowMenuGetSelectedItem(short preselect, int reserved1, int reserved2);
int GetTextFromTextLib(u32 textId, char *out, int size);
int InitDataStream(void);
int AddDataStreamItem(u32 nameId, const char *value);
int ShowDataStream(void);
int InitStreamSelectedBox(u8 *bitmap);
int AddStreamSelectBox(u32 nameId);
int ShowStreamSelectBox(int reserved, u8 *bitmap);
int InitTroubleCode(void);
int AddTroubleCode(u32 codeId, u32 statusId);
int ShowTroubleCode(void);
int InitActiveTest(int buttonCount, ...);
int AddActiveTestItem(u32 nameId, const char *value);
int ShowActiveTestItem(void);
int InputIntegerID(u32 titleId, u32 promptId);
char *GetFileNameText(int kind);
void *SearchIdOpenFile(const char *path);
int IdSearch(const u8 *key, u8 *out, int maxLength, void *handle);
int SearchIdCloseFile(void *handle);
int DiagGetFilePath(char *out, int size);

#ifdef __cplusplus
}
#endif

#endif

/*
 * Control of the hostile vehicle interface (a libCOMM_ABSTRACT_LAYER.so of its own for
 * the session fuzz target): every request the plug-in sends is answered with the next
 * chunk of the bytes handed over here. Chunk layout: see answer_chunks.cpp.
 */
#ifndef HOSTILE_VCI_H
#define HOSTILE_VCI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The ECU's answers for the coming session; the bytes must stay valid until the next call. */
void HostileVciFeed(const unsigned char *answers, size_t size);
/* Requests answered (or refused) since the last HostileVciFeed. */
int HostileVciRequests(void);

#ifdef __cplusplus
}
#endif

#endif

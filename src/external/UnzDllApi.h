/* The unzip library "UNZDLL.DLL": its command record and entry points.
   Field order as the zip component fills it; on a 32-bit build the offsets
   are the ones asserted below, on x86-64 the fields are naturally aligned.
   Texts are UTF-8, zero-terminated, owned by the caller during the call. */
#ifndef QRV_UNZ_DLL_API_H
#define QRV_UNZ_DLL_API_H

#include "external/ZipCallbackApi.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One file to select: a name or a wildcard pattern. */
typedef struct UnzFileSpec {
    const char* FileSpec;
    int32_t Reserved[17];
} UnzFileSpec;

typedef struct UnzCommand {
    void* Handle;    /* parent window for the library's dialogs, 0 when unattended */
    void* Caller;    /* passed back in callbacks */
    int32_t Version; /* the loaded library's version */
    ZipCallbackFunc Callback;
    int32_t fTraceEnabled;
    int32_t fReserved20;
    const char* Password;
    int32_t fTest;
    int32_t fComments; /* 0 */
    int32_t fConvert;  /* 0 */
    int32_t fQuiet;    /* -1 */
    int32_t fVerboseEnabled;
    int32_t fUpdate;
    int32_t fFreshen;
    int32_t fDirectories;
    int32_t fOverwrite;
    int32_t SpecCount; /* 0: every entry */
    const char* ZipFileName;
    const UnzFileSpec* Specs;
    int32_t fReserved76;
    int32_t fUseOutStream; /* extracting the first selected file into memory: before its data the
                              library calls back zacStream with its size, then writes to OutStream,
                              at most OutStreamSize bytes, as the record holds them after that call */
    void* OutStream;
    int32_t OutStreamSize;
    int32_t fUseInStream; /* extracting from memory: not offered */
    void* InStream;
    int32_t InStreamSize;
    int32_t PasswordReqCount;
    const char* ExtractDir; /* 0: the current folder */
    int32_t fReserved112[8];
    int32_t fSeven; /* QRV_ZIP_RECORD_END */
} UnzCommand;

#if defined(__i386__)
QRV_STATIC_ASSERT(offsetof(UnzCommand, Password) == 24, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, fTest) == 28, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, fQuiet) == 40, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, SpecCount) == 64, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, Specs) == 72, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, fUseOutStream) == 80, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, InStreamSize) == 100, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, PasswordReqCount) == 104, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, ExtractDir) == 108, "UnzCommand layout");
QRV_STATIC_ASSERT(offsetof(UnzCommand, fSeven) == 144, "UnzCommand layout");
QRV_STATIC_ASSERT(sizeof(UnzCommand) == 148, "UnzCommand layout");
QRV_STATIC_ASSERT(sizeof(UnzFileSpec) == 72, "UnzFileSpec layout");
#endif

/* Entry points: the number of files extracted or tested, negative on a
   fatal error; the library's version (e.g. 173 for 1.73). */
typedef int32_t(QRV_ZIPAPI* UnzDllExecFunc)(const UnzCommand* command);
typedef int32_t(QRV_ZIPAPI* UnzDllVersionFunc)(void);

#define QRV_UNZ_DLL_VERSION 173
#define QRV_UNZ_DLL_PRIV_VERSION 17301

#ifdef __cplusplus
}
#endif

#endif

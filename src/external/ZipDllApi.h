/* The zip library "ZIPDLL.DLL": its command record and entry points. Field
   order as the zip component fills it, with the operation and the list of
   suffixes stored without compression added before the closing value; on a
   32-bit build the size is asserted below, on x86-64 the fields are
   naturally aligned. Texts are UTF-8, zero-terminated, owned by the caller
   during the call. */
#ifndef QRV_ZIP_DLL_API_H
#define QRV_ZIP_DLL_API_H

#include "external/ZipCallbackApi.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One name or wildcard pattern of files to add or delete. */
typedef struct ZipFileSpec {
    const char* FileSpec;
    const char* Password;  /* this file's password */
    int32_t PasswordGiven; /* -1 when Password applies (even when empty) */
    int32_t Encrypt;       /* -1: encrypt these files, QRV_ZIP_SPEC_PLAIN: never, 0: as fEncrypt */
    const char* RootDir;   /* folder the pattern is relative to, 0: the record's */
    int32_t Reserved[21];
} ZipFileSpec;

/* A ZipFileSpec's Encrypt value: stored without encryption even when
   the record's fEncrypt is set. */
#define QRV_ZIP_SPEC_PLAIN 1
/* The operation (Action). */
enum { zopAdd = 0, zopDelete = 1 };

typedef struct ZipCommand {
    void* Handle;
    void* Caller;
    int32_t Version;
    ZipCallbackFunc Callback;
    int32_t fTraceEnabled;
    int32_t fVerboseEnabled;
    const char* Password; /* for every encrypted file without its own */
    int32_t Level;        /* 0 stores, 1-9 deflate */
    int32_t fMove;
    int32_t fUpdate;
    int32_t fFreshen;
    int32_t fZipTime; /* archive time := newest entry's */
    int32_t fForceDOS;
    int32_t fHidden; /* include hidden and system files */
    int32_t fEncrypt;
    int32_t fDirNames; /* store folder levels */
    int32_t fRecurse;
    int32_t fVolume;
    const char* FromDate; /* "mm dd yy": only files changed since, or 0 */
    const char* ZipFileName;
    const char* TempDir; /* where the new archive is written first, 0: beside it */
    const char* RootDir;
    int32_t SpecCount;
    const ZipFileSpec* Specs;
    int32_t ExclCount;
    const ZipFileSpec* Excludes;
    int32_t fUseOutStream; /* zipping into memory: not offered */
    void* OutStream;
    int32_t OutStreamSize;
    int32_t fUseInStream; /* zipping from memory: InStreamSize bytes at InStream become the entry
                             named by the first ZipFileSpec */
    void* InStream;
    int32_t InStreamSize;
    int32_t fUndoDelete; /* -1: moved files go to the recycle bin (taken as plain delete) */
    int32_t CodePage;    /* 2: names in the OEM code page */
    int32_t fReserved[17];
    int32_t Action;            /* zopAdd or zopDelete */
    const char* StoreSuffixes; /* ":"-separated extensions stored uncompressed, e.g. ".gif:.png" */
    int32_t fSeven;            /* QRV_ZIP_RECORD_END */
} ZipCommand;

#if defined(__i386__)
QRV_STATIC_ASSERT(sizeof(ZipFileSpec) == 104, "ZipFileSpec layout");
QRV_STATIC_ASSERT(offsetof(ZipCommand, fSeven) == 212, "ZipCommand layout");
QRV_STATIC_ASSERT(sizeof(ZipCommand) == 216, "ZipCommand layout");
#endif

typedef int32_t(QRV_ZIPAPI* ZipDllExecFunc)(const ZipCommand* command);
typedef int32_t(QRV_ZIPAPI* ZipDllVersionFunc)(void);

#define QRV_ZIP_DLL_VERSION 173
#define QRV_ZIP_DLL_PRIV_VERSION 17301

#ifdef __cplusplus
}
#endif

#endif

/* The RAR library "UnRAR.dll": records, operation codes, result codes and
   its seven entry points. Names and paths are UTF-8 except FileName in the
   header record, which holds the stored name's bytes (OEM code page). */
#ifndef QRV_UNRAR_API_H
#define QRV_UNRAR_API_H

#include <stdint.h>

#if defined(_WIN32) && defined(__i386__)
#define QRV_RARAPI __stdcall
#else
#define QRV_RARAPI
#endif

#ifdef __cplusplus
#define QRV_STATIC_ASSERT static_assert
#else
#define QRV_STATIC_ASSERT _Static_assert
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results. */
enum {
    RAR_SUCCESS = 0,
    RAR_END_ARCHIVE = 10,
    RAR_NO_MEMORY = 11,
    RAR_BAD_DATA = 12,       /* CRC error, damaged block */
    RAR_BAD_ARCHIVE = 13,    /* not a RAR archive */
    RAR_UNKNOWN_FORMAT = 14, /* comment in an unknown format */
    RAR_EOPEN = 15,
    RAR_ECREATE = 16, /* also: the entry's name may not be written */
    RAR_ECLOSE = 17,
    RAR_EREAD = 18,
    RAR_EWRITE = 19,
    RAR_SMALL_BUF = 20,
    RAR_CANCELLED = 21,  /* the data callback said stop */
    RAR_UNSUPPORTED = 22 /* compressed, encrypted, solid, multi-volume or RAR 5 */
};

/* Open modes and operations. */
enum { RAR_OM_LIST = 0, RAR_OM_EXTRACT = 1 };
enum { RAR_SKIP = 0, RAR_TEST = 1, RAR_EXTRACT = 2 };

/* Header flags. */
#define RAR_FLAG_ENCRYPTED 0x04
#define RAR_FLAG_DIRECTORY 0xE0

#define RAR_NAME_SIZE 260

typedef struct RAROpenRecord {
    const char* ArcName;
    uint32_t OpenMode;
    uint32_t OpenResult; /* out */
    char* CmtBuf;        /* archive comment, may be 0 */
    uint32_t CmtBufSize;
    uint32_t CmtSize;  /* out: bytes including the closing zero */
    uint32_t CmtState; /* out: 0 none, 1 read, else a result code */
} RAROpenRecord;

typedef struct RARHeaderData {
    char ArcName[RAR_NAME_SIZE];
    char FileName[RAR_NAME_SIZE];
    uint32_t Flags;
    uint32_t PackSize;
    uint32_t UnpSize;
    uint32_t HostOS;
    uint32_t FileCRC;
    uint32_t FileTime; /* packed DOS date-time */
    uint32_t UnpVer;
    uint32_t Method;
    uint32_t FileAttr;
    char* CmtBuf;
    uint32_t CmtBufSize;
    uint32_t CmtSize;
    uint32_t CmtState;
} RARHeaderData;

#if defined(__i386__)
QRV_STATIC_ASSERT(sizeof(RARHeaderData) == 572, "RARHeaderData layout");
#endif

/* The volume callback: (archive name, mode), a negative answer stops. The
   data callback gets each block tested or extracted; a negative answer
   stops the entry (RAR_CANCELLED). */
typedef int32_t(QRV_RARAPI* RARChangeVolFunc)(char* arcName, int32_t mode);
typedef int32_t(QRV_RARAPI* RARProcessDataFunc)(unsigned char* addr, int32_t size);

typedef void*(QRV_RARAPI* RAROpenArchiveFunc)(RAROpenRecord* data);
typedef int32_t(QRV_RARAPI* RARCloseArchiveFunc)(void* handle);
typedef int32_t(QRV_RARAPI* RARReadHeaderFunc)(void* handle, RARHeaderData* header);
typedef int32_t(QRV_RARAPI* RARProcessFileFunc)(void* handle, int32_t operation, const char* destPath,
                                                const char* destName);
typedef void(QRV_RARAPI* RARSetChangeVolProcFunc)(void* handle, RARChangeVolFunc proc);
typedef void(QRV_RARAPI* RARSetProcessDataProcFunc)(void* handle, RARProcessDataFunc proc);
typedef void(QRV_RARAPI* RARSetPasswordFunc)(void* handle, const char* password);

#ifdef __cplusplus
}
#endif

#endif

/* The ACE library "UnAceV2.Dll": records, callback codes and its five
   entry points. Field order as the ACE reader fills them; on a 32-bit build
   the record sizes are asserted below, on x86-64 the fields are naturally
   aligned. Names and paths are UTF-8; the file list separates names with
   carriage returns. */
#ifndef QRV_UNACE_API_H
#define QRV_UNACE_API_H

#include <stdint.h>

#if defined(_WIN32) && defined(__i386__)
#define QRV_ACEAPI __stdcall
#else
#define QRV_ACEAPI
#endif

#ifdef __cplusplus
#define QRV_STATIC_ASSERT static_assert
#else
#define QRV_STATIC_ASSERT _Static_assert
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Structure types of a callback. */
enum { ACE_TYPE_GLOBAL = 1, ACE_TYPE_ARCHIVE = 2, ACE_TYPE_ARCHIVEDFILE = 3 };

/* Error codes. */
enum {
    ACE_ERROR_MEMORY = 512,
    ACE_ERROR_OPEN = 550,
    ACE_ERROR_READ = 552,
    ACE_ERROR_BROKEN = 556, /* a header CRC does not fit */
    ACE_ERROR_NOFILES = 558,
    ACE_ERROR_NOTACE = 559,
    ACE_ERROR_VERSION = 561, /* a newer format than this library reads */
    ACE_ERROR_EXTRACT = 576, /* e.g. an encrypted entry: no cipher here */
    ACE_ERROR_WRITE = 580,
    ACE_ERROR_METHOD = 586,
    ACE_ERROR_CREATE = 588, /* also: the name may not be written */
    ACE_ERROR_OVERWRITE = 608
};

/* Requests and states of archived files. */
enum {
    ACE_REQUEST_OVERWRITE = 832,
    ACE_REQUEST_PASSWORD = 835,
    ACE_REQUEST_OVERWRITE_READONLY = 836,
    ACE_STATE_STARTFILE = 1040,
    ACE_STATE_PROGRESS = 1056,
    ACE_STATE_CRCCHECK = 1072
};

/* Answers of a callback. */
enum { ACE_ANSWER_OK = 0, ACE_ANSWER_NO = 1, ACE_ANSWER_CANCEL = 2 };

#define ACE_FILE_FLAG_ENCRYPTED (1u << 14)
#define ACE_COMMENT_SIZE 8193

typedef struct tACEFileDataStruc {
    const char* SourceFileName;      /* the stored name, "\" between levels */
    const char* DestinationFileName; /* where it goes when extracting, else 0 */
    uint32_t Flags;
    uint32_t CRC32;
    uint32_t Method;
    uint32_t Time; /* packed DOS date-time */
    uint32_t Attributes;
    uint32_t Reserved1;
    int64_t Size;
    int64_t CompressedSize;
} tACEFileDataStruc;

typedef struct tACEProgressDataStruc {
    int64_t TotalProcessedSize;
    int64_t TotalSize;
    int64_t FileProcessedSize;
    int64_t FileSize;
} tACEProgressDataStruc;

struct tACEGlobalDataStruc;

typedef struct tACEArchiveDataStruc {
    const char* ArchiveName;
    uint32_t Flags;
    uint32_t Version;
    uint32_t Files;
    uint32_t Reserved[35];
} tACEArchiveDataStruc;

/* One record for every callback; which fields are set depends on the
   structure type and code. */
typedef struct tACECallbackStruc {
    uint32_t StructureType;
    uint32_t Code;
    struct tACEGlobalDataStruc* GlobalData;
    tACEArchiveDataStruc* ArchiveData;
    tACEFileDataStruc* FileData;
    tACEProgressDataStruc* ProgressData;
    int32_t CRCOk;
} tACECallbackStruc;

typedef int32_t(QRV_ACEAPI* ACECallbackFunc)(tACECallbackStruc* data);

typedef struct tACEGlobalDataStruc {
    void* Obj;                    /* the caller, passed back */
    uint32_t MaxArchiveTestBytes; /* 0x1FFFF */
    uint32_t MaxFileBufSize;      /* 0x2FFFF */
    char* CommentBuf;             /* archive comment, zero-terminated */
    uint32_t CommentBufSize;      /* 8,193 */
    uint32_t CommentSize;         /* out */
    const char* DecryptPassword;  /* pointed at the caller's text on request 835 */
    const char* TempDir;
    ACECallbackFunc InfoCallbackProc;
    ACECallbackFunc ErrorCallbackProc;
    ACECallbackFunc RequestCallbackProc;
    ACECallbackFunc StateCallbackProc;
    uint32_t Reserved[68];
} tACEGlobalDataStruc;

typedef struct tACEReadArchiveDataStruc {
    tACEArchiveDataStruc* ArchiveData; /* out: filled by the library */
    uint32_t Reserved[39];
} tACEReadArchiveDataStruc;

typedef struct tACEFilesStruc {
    const char* SourceDir;
    const char* FileList; /* names separated by "\r", "" = every file */
    const char* ExcludeList;
    int32_t FullMatch;
} tACEFilesStruc;

typedef struct tACEListStruc {
    tACEFilesStruc Files;
    uint32_t Reserved[32];
} tACEListStruc;

typedef struct tACETestStruc {
    tACEFilesStruc Files;
    const char* DecryptPassword;
    uint32_t Reserved[32];
} tACETestStruc;

typedef struct tACEExtractStruc {
    tACEFilesStruc Files;
    const char* DestinationDir;
    int32_t ExcludePath; /* non-zero: every file into DestinationDir itself */
    const char* DecryptPassword;
    uint32_t Reserved[32];
} tACEExtractStruc;

#if defined(__i386__)
QRV_STATIC_ASSERT(sizeof(tACEGlobalDataStruc) == 320, "tACEGlobalDataStruc layout");
QRV_STATIC_ASSERT(sizeof(tACEReadArchiveDataStruc) == 160, "tACEReadArchiveDataStruc layout");
QRV_STATIC_ASSERT(sizeof(tACEListStruc) == 144, "tACEListStruc layout");
QRV_STATIC_ASSERT(sizeof(tACETestStruc) == 148, "tACETestStruc layout");
QRV_STATIC_ASSERT(sizeof(tACEExtractStruc) == 156, "tACEExtractStruc layout");
#endif

typedef int32_t(QRV_ACEAPI* ACEInitDllFunc)(tACEGlobalDataStruc* global);
typedef int32_t(QRV_ACEAPI* ACEReadArchiveDataFunc)(const char* archive, tACEReadArchiveDataStruc* data);
typedef int32_t(QRV_ACEAPI* ACEListFunc)(const char* archive, tACEListStruc* list);
typedef int32_t(QRV_ACEAPI* ACETestFunc)(const char* archive, tACETestStruc* test);
typedef int32_t(QRV_ACEAPI* ACEExtractFunc)(const char* archive, tACEExtractStruc* extract);

#ifdef __cplusplus
}
#endif

#endif

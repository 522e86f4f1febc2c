/* The callback through which the zip and unzip libraries report to their
   caller. Shared by the libraries and the program; plain C. Texts are UTF-8,
   zero-terminated. */
#ifndef QRV_ZIP_CALLBACK_API_H
#define QRV_ZIP_CALLBACK_API_H

#include <stdint.h>

#if defined(_WIN32) && defined(__i386__)
#define QRV_ZIPAPI __stdcall
#else
#define QRV_ZIPAPI
#endif

#ifdef __cplusplus
#define QRV_STATIC_ASSERT static_assert
#else
#define QRV_STATIC_ASSERT _Static_assert
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Action codes of a callback. */
enum {
    zacTick = 0,
    zacItem = 1,     /* new file: Msg = name, FileSize = its size */
    zacProgress = 2, /* FileSize = bytes done since the last report */
    zacEndOfBatch = 3,
    zacMessage = 4, /* ErrorCode and Msg */
    zacCount = 5,   /* FileSize = number of files to process */
    zacSize = 6,    /* FileSize = bytes to process */
    zacNewName = 7,
    zacPassword = 8,   /* Msg = entry; reply: Msg = password, ReplyValue != 0 for OK */
    zacCRCError = 9,   /* Msg = entry, Arg1 = found, Arg2 = expected; reply: ReplyValue = keep the file */
    zacOverwrite = 10, /* Msg = entry, Arg1 = existing file is older; reply: ReplyValue = overwrite */
    zacSkipped = 11,   /* Msg = entry, ErrorCode = skip type (below) */
    zacComment = 12,
    zacStream = 13,
    zacData = 14,
    zacXItem = 15,
    zacXProgress = 16
};

/* Why an entry was skipped (ErrorCode of zacSkipped). */
enum {
    zskOnFreshen = 0,
    zskNoOverwrite = 1,
    zskFileExists = 2,
    zskBadPassword = 3,
    zskNoEncryptionDLL = 4,
    zskCompressionUnknown = 5,
    zskUnknownZipHost = 6,
    zskZipFileFormatWrong = 7,
    zskGeneralExtractError = 8
};

/* Texts carried by a callback, zero bytes included. */
#define QRV_ZIP_MSG_SIZE 512

typedef struct ZipCallbackData {
    void* Caller;        /* the command record's Caller, passed back */
    int32_t IsZipAction; /* 1 from the zip library, 0 from the unzip library */
    int32_t ActionCode;
    int32_t ErrorCode;
    int32_t Arg1;
    int32_t Arg2;
    int32_t ReplyValue; /* in and out: the answer's flag */
    int64_t FileSize;
    char Msg[QRV_ZIP_MSG_SIZE];
} ZipCallbackData;

/* Returns -1 to cancel the run, 0 to go on. Must not throw. */
typedef int32_t(QRV_ZIPAPI* ZipCallbackFunc)(ZipCallbackData* data);

/* Flags in the command records: -1 true, 0 false. */
#define QRV_ZIP_TRUE (-1)
#define QRV_ZIP_FALSE 0

/* The value every command record carries at its end. */
#define QRV_ZIP_RECORD_END 7

#ifdef __cplusplus
}
#endif

#endif

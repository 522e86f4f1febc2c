// UnAceV2.Dll: the ACE library's five entry points over its portable core.

#include "external/AceCore.h"

using namespace qrv::external;

extern "C" {

int32_t QRV_ACEAPI ACEInitDll(tACEGlobalDataStruc* global)
{
    return AceInitDll(global);
}

int32_t QRV_ACEAPI ACEReadArchiveData(const char* archive, tACEReadArchiveDataStruc* data)
{
    return AceReadArchiveData(archive, data);
}

int32_t QRV_ACEAPI ACEList(const char* archive, tACEListStruc* list)
{
    return AceList(archive, list);
}

int32_t QRV_ACEAPI ACETest(const char* archive, tACETestStruc* test)
{
    return AceTest(archive, test);
}

int32_t QRV_ACEAPI ACEExtract(const char* archive, tACEExtractStruc* extract)
{
    return AceExtract(archive, extract);
}
}

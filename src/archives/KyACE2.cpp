#include "archives/KyACE2.h"

#include "common/BaseUtils.h"
#include "common/SafeExtractPath.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"

#include <exception>

namespace qrv {

namespace {

// The live component; the library's callbacks carry no reference to it.
TKyACE2* activeAce = nullptr;

const wchar_t* const kNoLibrary = L"Die Datei \"UNACEV2.DLL\" konnte nicht geladen werden.";

std::wstring Upper(std::wstring s)
{
    for (auto& c : s)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return s;
}

std::wstring Fill(std::wstring text, const std::wstring& name)
{
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, name);
    return text;
}

std::wstring Utf8Text(const char* utf8)
{
    return utf8 ? Utf8ToWide(utf8) : std::wstring();
}

}  // namespace

TKyACE2::TKyACE2(TComponent* owner, TAcePlatform platform) : TComponent(owner), platform_(std::move(platform))
{
    filesToExtract_.SetSorted(true);
    activeAce = this;
}

TKyACE2::~TKyACE2()
{
    if (activeAce == this)
        activeAce = nullptr;
    if (loaded_ && platform_.FreeUnAce)
        platform_.FreeUnAce();
}

std::wstring TKyACE2::ErrorText(int code, const std::wstring& name)
{
    const wchar_t* text = nullptr;
    switch (code) {
    case 512:
        text = L"Nicht genügend Hauptspeicher verfügbar.";
        break;
    case 518:
        text = L"Der freie Speicherplatz für das Netzwerklaufwerk kann nicht ermittelt werden.";
        break;
    case 546:
        text = L"AV des Archivs ist ungültig.";
        break;
    case 550:
        text = L"Das Archiv %s kann nicht geöffnet werden.";
        break;
    case 552:
        text = L"Das Archiv %s kann nicht gelesen werden.";
        break;
    case 556:
        text = L"Das Archiv %s ist defekt.";
        break;
    case 558:
        text = L"Keine Dateien angegeben.";
        break;
    case 559:
        text = L"Die Datei %s ist kein ACE-Archiv";
        break;
    case 561:
        text = L"Die Version der UNACE-DLL kann diese Archivversion nicht verarbeiten.";
        break;
    case 576:
        text = L"Die Datei %s kann nicht entpackt werden.";
        break;
    case 580:
    case 582:
        text = L"Fehler beim Schreiben der Datei \"%s\" aufgetreten.";
        break;
    case 586:
        text = L"Unbekannte Kompressionsmethode.";
        break;
    case 587:
        text = L"Nicht genügend Speicherplatz um die Datei %s zu entpacken.";
        break;
    case 588:
        text = L"Die Datei %s kann nicht erstellt werden.";
        break;
    case 608:
        text = L"Die Datei %s kann nicht überschrieben werden.";
        break;
    default:
        break;
    }
    if (!text)
        return L"UNACE: Unbekannter Fehler: " + std::to_wstring(code);
    return L"UNACE: " + Fill(text, name);
}

void TKyACE2::Message(const std::wstring& text)
{
    if (OnMessage)
        OnMessage(this, text);
}

bool TKyACE2::Initialise()
{
    if (initialised_)
        return true;
    if (!loaded_) {
        if (loadFailed_)
            return false;
        TUnAceFunctions functions;
        if (!platform_.LoadUnAce || !platform_.LoadUnAce(functions) || !functions.Complete()) {
            if (platform_.FreeUnAce)
                platform_.FreeUnAce();
            loadFailed_ = true;
            return false;
        }
        functions_ = functions;
        loaded_ = true;
    }
    tempPath_ = WideToUtf8(platform_.TempPath.substr(0, 255));
    global_ = tACEGlobalDataStruc{};
    global_.Obj = this;
    global_.MaxArchiveTestBytes = 0x1FFFF;
    global_.MaxFileBufSize = 0x2FFFF;
    global_.CommentBuf = commentBuffer_.data();
    global_.CommentBufSize = ACE_COMMENT_SIZE;
    global_.TempDir = tempPath_.c_str();
    global_.InfoCallbackProc = &TKyACE2::InfoCallback;
    global_.ErrorCallbackProc = &TKyACE2::ErrorCallback;
    global_.RequestCallbackProc = &TKyACE2::RequestCallback;
    global_.StateCallbackProc = &TKyACE2::StateCallback;
    initialised_ = functions_.InitDll(&global_) == 0;
    return initialised_;
}

bool TKyACE2::IsAce(const std::wstring& fileName)
{
    const size_t dot = fileName.find_last_of(L".\\/");
    if (dot == std::wstring::npos || fileName[dot] != L'.')
        return false;
    const std::wstring ext = Upper(fileName.substr(dot));
    if (ext != L".ACE" && ext != L".EXE")
        return false;
    if (!Initialise())
        return false;
    tACEReadArchiveDataStruc data{};
    const std::string name = WideToUtf8(fileName);
    return functions_.ReadArchiveData(name.c_str(), &data) == 0 && data.ArchiveData != nullptr;
}

void TKyACE2::SetArchiveName(const std::wstring& name)
{
    if (name != archiveName_)
        entries_.clear();
    if (name.empty()) {
        Message(L"UNACE: Es ist keine Archivdatei geöffnet.");
        return;
    }
    if (!platform_.FileExists || !platform_.FileExists(name)) {
        Message(L"UNACE: Die Datei \"" + name + L"\" ist nicht vorhanden oder kann nicht geöffnet werden.");
        return;
    }
    if (!Initialise() && !loaded_) {
        Message(kNoLibrary);
        return;
    }
    if (IsAce(name))
        archiveName_ = name;
    else
        Message(L"UNACE: \"" + name + L"\" ist kein gültiges ACE-Archiv");
}

void TKyACE2::SetFilesToExtract(const TStrings& names)
{
    filesToExtract_.Clear();
    for (int i = 0; i < names.Count(); ++i)
        filesToExtract_.Add(ReplaceChar(names.Get(i), L'\\', L'/'));
}

void TKyACE2::SetTargetDir(const std::wstring& dir)
{
    targetDir_ = dir.empty() ? dir : AddPathSeparator(dir);
}

bool TKyACE2::Run(TAceMode mode, const std::function<int32_t()>& call)
{
    if (!Initialise()) {
        Message(loaded_ ? ErrorText(ACE_ERROR_MEMORY, archiveName_) : std::wstring(kNoLibrary));
        return false;
    }
    if (archiveName_.empty()) {
        Message(L"UNACE: Es ist keine Archivdatei geöffnet.");
        return false;
    }
    mode_ = mode;
    crcFailed_ = false;
    eventFailure_.clear();
    int32_t result;
    try {
        result = call();
    } catch (...) {
        mode_ = amIdle;
        password_.clear();
        throw;
    }
    mode_ = amIdle;
    password_.clear();
    global_.DecryptPassword = nullptr;
    if (!eventFailure_.empty()) {
        try {
            Message(eventFailure_);
        } catch (...) {
            TraceIgnoredException(L"ACE message after a failed event");
        }
        return false;
    }
    return result == 0 && !crcFailed_;
}

bool TKyACE2::List()
{
    Stop = false;
    entries_.clear();
    return Run(amListing, [this] {
        const std::string name = WideToUtf8(archiveName_);
        tACEListStruc list{};
        list.Files.SourceDir = "";
        list.Files.FileList = "";
        list.Files.ExcludeList = "";
        const int32_t result = functions_.List(name.c_str(), &list);
        comment_.assign(commentBuffer_.data(), global_.CommentSize < commentBuffer_.size() ? global_.CommentSize : 0);
        return result;
    });
}

bool TKyACE2::Test()
{
    testedCount_ = 0;
    Stop = false;
    return Run(amTesting, [this] {
        const std::string name = WideToUtf8(archiveName_);
        tACETestStruc test{};
        test.Files.SourceDir = "";
        test.Files.FileList = "";
        test.Files.ExcludeList = "";
        test.DecryptPassword = "";
        return functions_.Test(name.c_str(), &test);
    });
}

bool TKyACE2::Extract(bool usePaths)
{
    extractedCount_ = 0;
    Stop = false;
    if (!initialised_ && !Initialise()) {
        Message(kNoLibrary);
        return false;
    }
    return Run(amExtracting, [&] {
        // The whole list, however long: a cut list would extract another set.
        std::string fileList;
        for (int i = 0; i < filesToExtract_.Count(); ++i) {
            if (i > 0)
                fileList += '\r';
            fileList += WideToUtf8(filesToExtract_.Get(i));
        }
        const std::string name = WideToUtf8(archiveName_);
        const std::string target = WideToUtf8(targetDir_);
        tACEExtractStruc extract{};
        extract.Files.SourceDir = "";
        extract.Files.FileList = fileList.c_str();
        extract.Files.ExcludeList = "";
        extract.DestinationDir = target.c_str();
        extract.ExcludePath = usePaths ? 0 : 1;
        extract.DecryptPassword = "";
        return functions_.Extract(name.c_str(), &extract);
    });
}

// The callbacks: no exception may go back into the library.
#define QRV_ACE_CALLBACK(body)                                                                                         \
    TKyACE2* self = activeAce;                                                                                         \
    if (!self)                                                                                                         \
        return ACE_ANSWER_CANCEL;                                                                                      \
    try {                                                                                                              \
        body;                                                                                                          \
    } catch (const Exception& e) {                                                                                     \
        self->eventFailure_ = e.Message();                                                                             \
    } catch (const std::exception& e) {                                                                                \
        self->eventFailure_ = Utf8ToWide(e.what());                                                                    \
    } catch (...) {                                                                                                    \
        self->eventFailure_ = L"UNACE: Unbekannter Fehler";                                                            \
    }                                                                                                                  \
    return ACE_ANSWER_CANCEL;

int32_t QRV_ACEAPI TKyACE2::InfoCallback(tACECallbackStruc*)
{
    return activeAce ? ACE_ANSWER_OK : ACE_ANSWER_CANCEL;
}

int32_t QRV_ACEAPI TKyACE2::ErrorCallback(tACECallbackStruc* data){
    QRV_ACE_CALLBACK(return self->OnErrorCallback(*data))}

int32_t QRV_ACEAPI TKyACE2::RequestCallback(tACECallbackStruc* data){
    QRV_ACE_CALLBACK(return self->OnRequestCallback(*data))}

int32_t QRV_ACEAPI TKyACE2::StateCallback(tACECallbackStruc* data){
    QRV_ACE_CALLBACK(return self->OnStateCallback(*data))}

#undef QRV_ACE_CALLBACK

int32_t TKyACE2::OnErrorCallback(const tACECallbackStruc& data)
{
    std::wstring text;
    switch (data.StructureType) {
    case ACE_TYPE_GLOBAL:
    case ACE_TYPE_ARCHIVE:
        text = ErrorText(static_cast<int>(data.Code), archiveName_);
        break;
    case ACE_TYPE_ARCHIVEDFILE:
        text = ErrorText(static_cast<int>(data.Code), data.FileData ? Utf8Text(data.FileData->SourceFileName) : L"");
        break;
    default:
        text = L"UNACE: Unbekannter Fehler: " + std::to_wstring(data.Code);
        break;
    }
    Message(text);
    // A refused entry is reported and the run goes on with the next one;
    // an error of the archive itself ends it.
    if (data.StructureType == ACE_TYPE_ARCHIVEDFILE && !Stop)
        return ACE_ANSWER_OK;
    return ACE_ANSWER_CANCEL;
}

int32_t TKyACE2::OnRequestCallback(tACECallbackStruc& data)
{
    if (data.StructureType != ACE_TYPE_ARCHIVEDFILE || !data.FileData)
        return ACE_ANSWER_CANCEL;
    switch (data.Code) {
    case ACE_REQUEST_OVERWRITE:
    case ACE_REQUEST_OVERWRITE_READONLY: {
        if (!OnOverwrite)
            return ACE_ANSWER_CANCEL;
        bool doExtract = true;
        OnOverwrite(this, *data.FileData, doExtract);
        if (Stop)
            return ACE_ANSWER_CANCEL;
        return doExtract ? ACE_ANSWER_OK : ACE_ANSWER_NO;
    }
    case ACE_REQUEST_PASSWORD: {
        std::wstring password = Utf8ToWide(password_);
        if (OnPassword)
            OnPassword(this, *data.FileData, password);
        password_ = WideToUtf8(password);
        if (data.GlobalData)
            data.GlobalData->DecryptPassword = password_.c_str();
        return ACE_ANSWER_OK;
    }
    default:
        return ACE_ANSWER_CANCEL;
    }
}

int32_t TKyACE2::OnStateCallback(const tACECallbackStruc& data)
{
    if (Stop)
        return ACE_ANSWER_CANCEL;
    const tACEFileDataStruc* file = data.FileData;
    switch (data.Code) {
    case ACE_STATE_STARTFILE:
        if (mode_ == amListing && file && !(file->Attributes & 0x10)) {
            TAceEntry entry;
            entry.FileName = Utf8Text(file->SourceFileName);
            entry.FileTime = file->Time;
            entry.UnpSize = static_cast<uint32_t>(file->Size);
            entry.PackSize = static_cast<uint32_t>(file->CompressedSize);
            entry.CRC = file->CRC32;
            entry.Attributes = static_cast<uint16_t>(file->Attributes);
            entry.Encrypted = (file->Flags & ACE_FILE_FLAG_ENCRYPTED) ? 1 : 0;
            entries_.push_back(std::move(entry));
        }
        return ACE_ANSWER_OK;
    case ACE_STATE_PROGRESS: {
        const tACEProgressDataStruc* p = data.ProgressData;
        if (p && OnProgress && p->FileProcessedSize == p->FileSize && p->TotalProcessedSize == p->TotalSize)
            OnProgress(this, p->TotalProcessedSize, p->TotalSize, p->FileProcessedSize, p->FileSize);
        return ACE_ANSWER_OK;
    }
    case ACE_STATE_CRCCHECK: {
        if (!file)
            return ACE_ANSWER_OK;
        const bool good = data.CRCOk != 0;
        if (mode_ == amTesting) {
            ++testedCount_;
            if (OnTested)
                OnTested(this, *file, good);
        } else if (mode_ == amExtracting && file->DestinationFileName) {
            ++extractedCount_;
            if (OnExtracted)
                OnExtracted(this, *file, good);
            if (good && platform_.FileCreated)
                platform_.FileCreated(Utf8Text(file->DestinationFileName));
        }
        if (!good) {
            crcFailed_ = true;
            Message(L"CRC-Fehler bei Datei: " + Utf8Text(file->SourceFileName));
        }
        return Stop ? ACE_ANSWER_CANCEL : ACE_ANSWER_OK;
    }
    default:
        return ACE_ANSWER_OK;
    }
}

}  // namespace qrv

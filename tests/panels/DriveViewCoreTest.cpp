#include "panels/DriveViewCore.h"
#include "panels/VirtualNodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace qrv {
namespace {

// A folder tree in memory. Folders declared with Folder() appear as nodes
// only once their parent is read, the way the control reads them lazily.
class FakeNodeTree : public TDriveNodeTree {
public:
    struct Node {
        TNodeData Data;
        Node* Parent = nullptr;
        std::vector<Node*> Children;
    };

    // A drive root "X:\".
    Node* AddDrive(wchar_t drive)
    {
        Node* root = NewNode(nullptr, std::wstring(1, drive) + L":\\", L"");
        roots_[drive] = root;
        return root;
    }
    // A folder that the next read of Parent finds.
    void Folder(Node* parent, const std::wstring& name, const std::wstring& shortName = L"")
    {
        onDisk_[parent].push_back({name, shortName});
    }

    TNodeRef Parent(TNodeRef n) override { return N(n)->Parent; }
    int ChildCount(TNodeRef n) override { return static_cast<int>(N(n)->Children.size()); }
    TNodeRef Child(TNodeRef n, int i) override { return N(n)->Children.at(static_cast<size_t>(i)); }
    TNodeData& Data(TNodeRef n) override { return N(n)->Data; }
    TNodeRef DriveRoot(wchar_t drive) override
    {
        auto it = roots_.find(drive);
        return it == roots_.end() ? nullptr : it->second;
    }
    bool DriveScanned(wchar_t drive) override { return scanned_.count(drive) != 0; }
    void ScanDrive(wchar_t drive) override
    {
        ++driveScans;
        scanned_.insert({drive, true});
        ReadSubDirs(roots_.at(drive));
    }
    void ReadSubDirs(TNodeRef n) override
    {
        ++reads;
        Node* node = N(n);
        node->Children.clear();
        for (const auto& [name, shortName] : onDisk_[node]) {
            Node* child = NewNode(node, name, shortName);
            node->Children.push_back(child);
            if (OnRead)
                OnRead(*child);
        }
        node->Data.AllScanned = true;
    }
    TNodeRef NodeForUNCPath(const std::wstring& path) override
    {
        uncAsked = path;
        return nullptr;
    }

    // Completes the record of each node a read adds.
    std::function<void(Node&)> OnRead;
    int reads = 0;
    int driveScans = 0;
    std::wstring uncAsked;

private:
    static Node* N(TNodeRef n) { return static_cast<Node*>(n); }
    Node* NewNode(Node* parent, const std::wstring& name, const std::wstring& shortName)
    {
        Node& node = nodes_.emplace_back();
        node.Parent = parent;
        node.Data.DirName = node.Data.DisplayName = name;
        node.Data.ShortName = parent ? NodeShortName(name, shortName) : name;
        return &node;
    }

    std::deque<Node> nodes_;
    std::map<wchar_t, Node*> roots_;
    std::map<wchar_t, bool> scanned_;
    std::map<Node*, std::vector<std::pair<std::wstring, std::wstring>>> onDisk_;
};

class DriveViewCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        c = tree.AddDrive(L'C');
        t = tree.AddDrive(L'T');
        tree.Folder(c, L"Windows");
        tree.Folder(c, L"Program Files", L"PROGRA~1");
        // "System" is read lazily below Windows, once Windows is read.
        tree.ScanDrive(L'C');
        windows = static_cast<FakeNodeTree::Node*>(tree.Child(c, 0));
        tree.Folder(windows, L"System");
        tree.Folder(windows, L"Long Folder Name", L"LONGFO~1");
    }
    FakeNodeTree tree;
    FakeNodeTree::Node* c = nullptr;
    FakeNodeTree::Node* t = nullptr;
    FakeNodeTree::Node* windows = nullptr;
};

TEST_F(DriveViewCoreTest, NodeForPathMatchesLongAndShortNamesInAnyCase)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* expectedPath;  // nullptr: no node
    };
    const Case cases[] = {
        {L"C:\\WINDOWS\\SYSTEM", L"C:\\Windows\\System"},
        {L"c:\\windows\\system", L"C:\\Windows\\System"},
        {L"C:\\Windows\\System\\", L"C:\\Windows\\System"},
        {L"C:\\PROGRA~1", L"C:\\Program Files"},
        {L"C:\\windows\\longfo~1", L"C:\\Windows\\Long Folder Name"},
        {L"C:\\", L"C:"},
        {L"c:", L"C:"},
        {L"C:\\Windows\\Missing", nullptr},
        {L"C:\\Windows\\System\\Deeper", nullptr},
        {L"1:\\x", nullptr},
        {L"", nullptr},
        {L"C", nullptr},
        {L"D:\\x", nullptr},  // no root for D:
        {L"Cx\\Windows", nullptr},
        {L"C:Windows", nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.path);
        TNodeRef node = nullptr;
        ASSERT_NO_THROW(node = NodeForPath(tree, k.path));
        if (!k.expectedPath)
            EXPECT_EQ(node, nullptr);
        else
            EXPECT_EQ(node ? NodeDirPath(tree, node) : L"<none>", k.expectedPath);
    }
}

TEST_F(DriveViewCoreTest, NodeForPathFindsTheSameNodeByShortAndLongName)
{
    EXPECT_EQ(NodeForPath(tree, L"C:\\Windows\\LONGFO~1"), NodeForPath(tree, L"C:\\WINDOWS\\long folder name"));
    EXPECT_NE(NodeForPath(tree, L"C:\\Windows\\LONGFO~1"), nullptr);
}

TEST_F(DriveViewCoreTest, NodeForPathReadsUnreadDrivesAndFoldersOnlyOnce)
{
    tree.Folder(t, L"a");
    EXPECT_EQ(tree.driveScans, 1);
    ASSERT_NE(NodeForPath(tree, L"T:\\a"), nullptr);
    EXPECT_EQ(tree.driveScans, 2);
    const int reads = tree.reads;
    NodeForPath(tree, L"T:\\A");
    EXPECT_EQ(tree.driveScans, 2);
    // "a" itself has not been read: looking below it reads it, once.
    NodeForPath(tree, L"T:\\a\\x");
    NodeForPath(tree, L"T:\\a\\y");
    EXPECT_EQ(tree.reads, reads + 1);
}

TEST_F(DriveViewCoreTest, UncPathsGoToTheNetworkLookup)
{
    EXPECT_EQ(NodeForPath(tree, L"\\\\server\\share"), nullptr);
    EXPECT_EQ(tree.uncAsked, L"\\\\server\\share");
}

TEST_F(DriveViewCoreTest, NodeForPathOrParentWalksUpToTheNearestNode)
{
    const TNodeRef system = NodeForPath(tree, L"C:\\Windows\\System");
    EXPECT_EQ(NodeForPathOrParent(tree, L"C:\\Windows\\System\\gone\\deeper"), system);
    EXPECT_EQ(NodeForPathOrParent(tree, L"C:\\gone"), c);
    EXPECT_EQ(NodeForPathOrParent(tree, L"D:\\gone"), nullptr);
    EXPECT_EQ(NodeForPathOrParent(tree, L""), nullptr);
}

TEST_F(DriveViewCoreTest, PathsOfNodes)
{
    const TNodeRef system = NodeForPath(tree, L"c:\\windows\\system");
    ASSERT_NE(system, nullptr);
    tree.Data(windows).DisplayName = L"Fenster";
    EXPECT_EQ(NodeDirPath(tree, system), L"C:\\Windows\\System");
    EXPECT_EQ(NodeDirPathName(tree, system), L"C:\\Windows\\System");
    EXPECT_EQ(NodeDirPath(tree, c), L"C:");
    EXPECT_EQ(NodeDirPathName(tree, c), L"C:\\");
    EXPECT_EQ(NodeDrive(tree, system), L'C');
    EXPECT_EQ(NodeTopLevel(tree, system), c);
    EXPECT_EQ(NodeDisplayDirPath(tree, system), L"C:\\Fenster\\System");
}

TEST(DriveViewCore, PathsBelowTheNetworkRootAreUnc)
{
    FakeNodeTree tree;
    FakeNodeTree::Node* net = tree.AddDrive(L'\\');
    net->Data.DirName = L"\\";
    net->Data.DisplayName = L"Netzwerk";
    tree.Folder(net, L"server");
    tree.ReadSubDirs(net);
    FakeNodeTree::Node* server = net->Children.front();
    tree.Folder(server, L"share");
    tree.ReadSubDirs(server);
    EXPECT_EQ(NodeDirPath(tree, net), L"\\");
    EXPECT_EQ(NodeDirPath(tree, server->Children.front()), L"\\\\server\\share");
    EXPECT_EQ(NodeDrive(tree, server), L'\\');
    EXPECT_EQ(NodeDisplayDirPath(tree, server), L"Netzwerk\\server");
}

// Shell folders below the network root: a server, its shares, and a network
// place that names a share of another server.
class NetworkNodesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.OnRead = [this](FakeNodeTree::Node& node) {
            node.Data.IsVirtual = true;
            const std::wstring parent = node.Parent->Data.ParsingName;
            node.Data.ParsingName = places.count(node.Data.DirName) ? places[node.Data.DirName]
                                    : parent.empty()                ? L"\\\\" + node.Data.DirName
                                                                    : parent + L"\\" + node.Data.DirName;
        };
        net = tree.AddDrive(L'\\');
        net->Data.DirName = L"\\";
        net->Data.IsVirtual = true;
        tree.Folder(net, L"SERVER");
        tree.Folder(net, L"Place");
        places[L"Place"] = L"\\\\other\\docs";
        tree.ReadSubDirs(net);
        server = static_cast<FakeNodeTree::Node*>(tree.Child(net, 0));
        place = static_cast<FakeNodeTree::Node*>(tree.Child(net, 1));
        tree.Folder(server, L"share");
        tree.Folder(server, L"share2");
        tree.reads = 0;
    }
    FakeNodeTree tree;
    std::map<std::wstring, std::wstring> places;
    FakeNodeTree::Node* net = nullptr;
    FakeNodeTree::Node* server = nullptr;
    FakeNodeTree::Node* place = nullptr;
};

TEST_F(NetworkNodesTest, PathsAreUncEvenForANetworkPlace)
{
    EXPECT_EQ(NodeDirPath(tree, server), L"\\\\SERVER");
    EXPECT_EQ(NodeDirPath(tree, place), L"\\\\other\\docs") << "not \\\\Place below the root";
    tree.ReadSubDirs(server);
    EXPECT_EQ(NodeDirPathName(tree, tree.Child(server, 1)), L"\\\\SERVER\\share2");
}

TEST_F(NetworkNodesTest, ParsingPrefixFindsTheDeepestNodeReadingOnTheWay)
{
    const struct {
        const wchar_t* path;
        const wchar_t* found;  // the node's path; nullptr for none
    } cases[] = {
        {L"\\\\server\\share2", L"\\\\SERVER\\share2"},
        {L"\\\\SERVER\\SHARE\\deeper\\still", L"\\\\SERVER\\share"},
        {L"\\\\server\\sha", L"\\\\SERVER"},  // no share of that name: its server
        {L"\\\\serverx\\share", nullptr},     // "\\server" is no ancestor of "\\serverx"
        {L"\\\\other\\docs\\a", L"\\\\other\\docs"},
        {L"\\\\nobody", nullptr},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            const TNodeRef node = NodeForParsingPrefix(tree, net, c.path);
            const std::wstring found = node ? NodeDirPath(tree, node) : L"(none)";
            EXPECT_EQ(found, c.found ? c.found : L"(none)") << std::wstring(c.path);
        }
        // Read on the way down: the server, the two shares and the place;
        // the second round reads nothing more.
        EXPECT_EQ(tree.reads, 4) << round;
    }
}

TEST(DriveViewCore, IsPathPrefixStopsAtComponents)
{
    EXPECT_TRUE(IsPathPrefix(L"\\\\srv", L"\\\\SRV"));
    EXPECT_TRUE(IsPathPrefix(L"\\\\srv\\", L"\\\\srv\\a"));
    EXPECT_TRUE(IsPathPrefix(L"\\\\srv\\a", L"\\\\srv\\a\\b"));
    EXPECT_FALSE(IsPathPrefix(L"\\\\srv\\a", L"\\\\srv\\ab"));
    EXPECT_FALSE(IsPathPrefix(L"\\\\srv\\a\\b", L"\\\\srv\\a"));
    EXPECT_FALSE(IsPathPrefix(L"", L"\\\\srv"));
    EXPECT_FALSE(IsPathPrefix(L"::{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}", L"\\\\srv"));
}

TEST(DriveViewCore, CenterScrollStepKeepsTheNodeInTheMiddleHalf)
{
    // Client height 400: the middle half runs from 100 to 300.
    const struct {
        int top, step;
    } cases[] = {{0, -1}, {99, -1}, {100, 0}, {200, 0}, {300, 0}, {301, 1}, {1000, 1}, {-20, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CenterScrollStep(c.top, 400), c.step) << c.top;
}

TEST(DriveViewCore, NodeOperationsWithoutNodeRaise)
{
    FakeNodeTree tree;
    try {
        NodeDirPath(tree, nullptr);
        FAIL() << "no exception";
    } catch (const ENodeNotAssigned& e) {
        EXPECT_EQ(e.Message(), L"GetDirPath: Node not assigned");
    }
    EXPECT_THROW(NodeDisplayDirPath(tree, nullptr), ENodeNotAssigned);
    EXPECT_THROW(NodeTopLevel(tree, nullptr), ENodeNotAssigned);
}

TEST(DriveViewCore, DriveCaptionByStyle)
{
    const TDriveNames names{L"C: System", L"System (C:)", L"C: \\\\srv\\share"};
    using S = TVolumeDisplayStyle;
    EXPECT_EQ(DriveCaption(L'C', true, S::doPrettyName, names), L"C: System");
    EXPECT_EQ(DriveCaption(L'C', true, S::doDisplayName, names), L"System (C:)");
    EXPECT_EQ(DriveCaption(L'C', true, S::doLongPrettyName, names), L"C: \\\\srv\\share");
    EXPECT_EQ(DriveCaption(L'C', false, S::doDisplayName, names), L"C:");
    EXPECT_EQ(DriveCaption(L'c', true, S::doDisplayName, TDriveNames{L"", L"System (C:)", L""}), L"C:");
    EXPECT_EQ(DriveCaption(L'\\', false, S::doPrettyName, TDriveNames{L"", L"Netzwerk", L""}), L"Netzwerk");
}

TEST(DriveViewCore, DirSizeText)
{
    struct Case {
        int64_t size;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"0K"},
        {1, L"1K"},
        {1023, L"1K"},
        {1024, L"1K"},
        {1535, L"1K"},
        {1536, L"2K"},
        {2000, L"2K"},
        {5 * 1024 * 1024, L"5.120K"},
        {99999LL * 1024, L"99.999K"},
        {102400000, L"98M"},
        // Beyond 2 GiB and 4 GiB the size still counts.
        {3LL * 1024 * 1024 * 1024, L"3.072M"},
        {5LL * 1024 * 1024 * 1024, L"5.120M"},
        {5LL * 1024 * 1024 * 1024 * 1024, L"5.242.880M"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(DirSizeText(k.size, L"."), k.text) << k.size;
}

TEST(DriveViewCore, FolderCaptionStyleAndSize)
{
    TNodeData data;
    data.DisplayName = L"my FOLDER_name";
    using D = TFileNameDisplay;
    EXPECT_EQ(FolderCaption(data, D::fndStored, true, L"."), L"my FOLDER_name");
    EXPECT_EQ(FolderCaption(data, D::fndCap, false, L"."), L"MY FOLDER_NAME");
    EXPECT_EQ(FolderCaption(data, D::fndNoCap, false, L"."), L"my folder_name");
    EXPECT_EQ(FolderCaption(data, D::fndNice, false, L"."), L"My Folder_Name");
    data.DirSize = 3LL * 1024 * 1024 * 1024;
    EXPECT_EQ(FolderCaption(data, D::fndStored, true, L"."), L"my FOLDER_name = 3.072M");
    EXPECT_EQ(FolderCaption(data, D::fndStored, false, L"."), L"my FOLDER_name");
    data.DirSize = 0;
    EXPECT_EQ(FolderCaption(data, D::fndStored, true, L"."), L"my FOLDER_name = 0K");
}

TEST(DriveViewCore, NodeColors)
{
    TNodeColorOptions options;
    options.CompressedColor = clRed;
    options.HiddenColor = clGray;
    TNodeData plain, hidden, compressed, both, bold;
    hidden.Attr = faDirectory | faHidden;
    compressed.Attr = faDirectory | faCompressed;
    both.Attr = faDirectory | faHidden | faCompressed;
    bold.Attr = faDirectory | faHidden;
    bold.Bold = true;
    EXPECT_EQ(NodeColors(plain, false, options).Text, clDefault);
    EXPECT_EQ(NodeColors(hidden, false, options).Text, clGray);
    EXPECT_EQ(NodeColors(compressed, false, options).Text, clRed);
    EXPECT_EQ(NodeColors(both, false, options).Text, clRed);
    EXPECT_EQ(NodeColors(bold, false, options).Text, clDefault);
    EXPECT_EQ(NodeColors(hidden, false, options).Back, clDefault);

    // The selection of an unfocused tree that hides it is drawn like a button.
    options.TreeFocused = false;
    options.HideSelection = true;
    EXPECT_EQ(NodeColors(hidden, true, options).Back, clBtnFace);
    EXPECT_EQ(NodeColors(hidden, true, options).Text, SystemColor(18));
    EXPECT_EQ(NodeColors(hidden, false, options).Text, clGray);
    options.HideSelection = false;
    EXPECT_EQ(NodeColors(hidden, true, options).Back, clDefault);
}

TEST(DriveViewCore, DiskNodeDataAndTheRecycleBin)
{
    TSearchRec bin{L"RECYCLER", faDirectory | faHidden | faSysFile};
    const TNodeData atRoot = DiskNodeData(L"C:\\", bin, L"");
    EXPECT_TRUE(atRoot.IsRecycleBin);
    EXPECT_EQ(atRoot.DirName, L"RECYCLER");
    EXPECT_EQ(atRoot.DisplayName, L"RECYCLER");
    EXPECT_EQ(atRoot.Attr, bin.Attr);
    EXPECT_FALSE(DiskNodeData(L"C:\\Windows", bin, L"").IsRecycleBin);
    TSearchRec lower{L"$Recycle.Bin", faDirectory | faSysFile};
    EXPECT_TRUE(DiskNodeData(L"C:", lower, L"").IsRecycleBin);  // the newer systems' recycle bin
    lower.Name = L"$Reparatur";
    EXPECT_FALSE(DiskNodeData(L"C:", lower, L"").IsRecycleBin);
    lower.Name = L"Recycled";
    EXPECT_TRUE(DiskNodeData(L"C:", lower, L"").IsRecycleBin);
    lower.Attr = faDirectory;
    EXPECT_FALSE(DiskNodeData(L"C:", lower, L"").IsRecycleBin);

    TSearchRec folder{L"Program Files", faDirectory};
    EXPECT_EQ(DiskNodeData(L"C:", folder, L"PROGRA~1").ShortName, L"PROGRA~1");
    EXPECT_EQ(DiskNodeData(L"C:", folder, L"").ShortName, L"PROGRAM FILES");
    EXPECT_TRUE(DiskNodeData(L"C:", folder, L"").IconEmpty);
    EXPECT_EQ(DiskNodeData(L"C:", folder, L"").DirSize, -1);
}

TEST(DriveViewCore, ChildOrderIgnoresCaseThenIsOrdinal)
{
    std::vector<std::wstring> names{L"beta", L"Alpha", L"alpha", L"BETA", L"a", L"Zeta", L"_x", L"10"};
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return CompareNodeNames(a, b) < 0; });
    // Case is folded to upper case, so "_" sorts after the letters.
    const std::vector<std::wstring> expected{L"10", L"a", L"Alpha", L"alpha", L"BETA", L"beta", L"Zeta", L"_x"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(CompareNodeNames(L"same", L"same"), 0);
}

TEST(DriveViewCore, DefaultDirPerDrive)
{
    TDriveStatusTable drives;
    EXPECT_EQ(drives.DefaultDir(L'T'), L"T:\\");
    drives.SetDefaultDir(L't', L"T:\\a\\b");
    EXPECT_EQ(drives.DefaultDir(L'T'), L"T:\\a\\b\\");
    drives.SetDefaultDir(L'T', L"T:\\c\\");
    EXPECT_EQ(drives.DefaultDir(L't'), L"T:\\c\\");
    drives.SetDefaultDir(L'T', L"");
    EXPECT_EQ(drives.DefaultDir(L'T'), L"T:\\");
    EXPECT_EQ(drives.DefaultDir(L'C'), L"C:\\");
    EXPECT_THROW(drives[L'1'], EConvertError);

    int node = 0;
    drives[L'\\'].RootNode = &node;
    EXPECT_EQ(drives.DriveOfRoot(&node), L'\\');
    EXPECT_EQ(drives.DriveOfRoot(nullptr), L'\0');
}

}  // namespace
}  // namespace qrv

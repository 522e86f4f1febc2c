#pragma once
// The tree's nodes a background worker owes an answer, by node and by the
// id the worker knows them by: the worker never sees a node, and an answer
// for a node that went meanwhile finds none.

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace qrv {

class TTreeNode;

class TPendingNodes {
public:
    bool Contains(TTreeNode* Node) const { return ids_.contains(Node); }
    size_t Count() const { return nodes_.size(); }
    // The id for the next request.
    uint64_t NextId() { return ++lastId_; }
    // Node waits for the answer to the request Id.
    void Add(TTreeNode* Node, uint64_t Id)
    {
        ids_.emplace(Node, Id);
        nodes_.emplace(Id, Node);
    }
    // The node waiting under Id; nullptr when none does.
    TTreeNode* Find(uint64_t Id) const
    {
        const auto found = nodes_.find(Id);
        return found == nodes_.end() ? nullptr : found->second;
    }
    // The node an answer is for, no longer waiting; nullptr when it went.
    TTreeNode* Take(uint64_t Id)
    {
        const auto found = nodes_.find(Id);
        if (found == nodes_.end())
            return nullptr;
        TTreeNode* node = found->second;
        nodes_.erase(found);
        ids_.erase(node);
        return node;
    }
    // The node goes: the id it waited under, if it waited.
    std::optional<uint64_t> Forget(TTreeNode* Node)
    {
        const auto found = ids_.find(Node);
        if (found == ids_.end())
            return std::nullopt;
        const uint64_t id = found->second;
        nodes_.erase(id);
        ids_.erase(found);
        return id;
    }

private:
    std::unordered_map<TTreeNode*, uint64_t> ids_;
    std::unordered_map<uint64_t, TTreeNode*> nodes_;
    uint64_t lastId_ = 0;
};

}  // namespace qrv

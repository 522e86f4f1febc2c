#include "editor/EasyParserBase.h"

#include <algorithm>

namespace qrv {

namespace {

std::vector<TCustomEasyParser*>& ParserRegistry()
{
    static std::vector<TCustomEasyParser*> parsers;
    return parsers;
}

}  // namespace

const std::vector<TCustomEasyParser*>& EasyParsers()
{
    return ParserRegistry();
}

TCustomEasyParser::TCustomEasyParser(TComponent* owner) : TComponent(owner)
{
    ParserRegistry().push_back(this);
}

TCustomEasyParser::~TCustomEasyParser()
{
    // Each source removes itself from the list while it is told; the walk
    // copes with that.
    sources_.NotifyRemoval(this);
    std::erase(ParserRegistry(), this);
}

void TCustomEasyParser::Changed()
{
    sources_.Notify(this, nullptr);
}

void TCustomEasyParser::AddSource(TEasyNotifierList::TCallback reparse, void* source,
                                  TEasyNotifierList::TRemovalCallback removal)
{
    sources_.Add(reparse, source, removal);
}

void TCustomEasyParser::RemoveSource(TEasyNotifierList::TCallback reparse, void* source)
{
    sources_.Remove(reparse, source);
}

}  // namespace qrv

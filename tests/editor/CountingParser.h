#pragma once
// A rule-driven parser that counts its scan steps, made where the parser's
// header is included.

#include "editor/EasyParserBase.h"

#include <memory>
#include <string_view>

std::unique_ptr<qrv::TCustomEasyParser> MakeCountingParser(std::u16string_view rules, int& calls);

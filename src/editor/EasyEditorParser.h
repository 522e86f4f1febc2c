#pragma once
// TEasyEditorParser: the rule-driven parser a form places beside its editor
// and attaches to the editor's source. Without rules it knows no state and
// no token: every line is one run without a token, painted in the editor's
// own font colour, and any line can be parsed on its own. Portable.

#include "editor/EasyParser.h"

namespace qrv {

class TEasyEditorParser : public TEasySourceParser {
public:
    using TEasySourceParser::TEasySourceParser;
};

}  // namespace qrv

#pragma once
// The German captions of the editor's find and replace forms, set when the
// editor has made one.

namespace qrv {

class TForm;

// Relabels a find or replace form of the editor and gives it the help
// context; any other form is left as it is.
void GermanEditorFindForm(TForm& Form, int HelpContext);

}  // namespace qrv

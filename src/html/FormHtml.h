#pragma once

// The e-mail form's controls. The whole form comes from TPagelette::FormHTML, its rows from
// TWebForm::RowsHTML and TFormElement::RowHTML (declared with the model).

#include <string>
#include <vector>

#include "document/PageForm.h"

namespace tessel {

// A field's name as the form submits it: spaces become "_", letters lower case.
std::string FieldNameHTML(const std::string& name);

// The names the field's controls submit: one for most kinds, one per box of a check box
// group, none for a button.
std::vector<std::string> SubmittedNames(const TFormElement& field);

// The radio buttons or check boxes of a choice field, one input per "value|caption|flag"
// line, each ended by <BR> and CR LF; the text starts with CR LF. `labelled`: each input and
// its caption stand in one LABEL.
std::string ChoiceInputsHTML(const TFormElement& field, bool labelled = false);

// The OPTION lines of a drop-down field, after the "Select" and "----------" entries.
std::string OptionListHTML(const TFormElement& field);

}  // namespace tessel

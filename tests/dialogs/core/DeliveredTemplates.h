#pragma once

// The templates delivered in data/Templates, built with the page model as a user would build
// them in the program. A test checks that the delivered files are exactly what these give, and
// tools/make-templates.sh writes them again after a change here.

#include <memory>
#include <string>
#include <vector>

#include "document/Pagelette.h"

namespace tessel::testing {

struct TDeliveredTemplate {
    std::string fileName;  // in Templates/, with the ".pgt" extension
    std::unique_ptr<TPagelette> document;
};

// The templates, each with a theme of the delivered theme file in `dataFolder` (ending in "/").
std::vector<TDeliveredTemplate> BuildDeliveredTemplates(const std::string& dataFolder);

// The HTML that "Save As Template" writes beside a template.
std::string TemplateHtml(TPagelette& document);

}  // namespace tessel::testing

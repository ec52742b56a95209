#include "html/MixedTexts.h"

#include <functional>

#include "document/Stream.h"
#include "html/Routines.h"
#include "platform/PageCharset.h"

namespace tessel {

namespace {

using TTextVisit = std::function<void(std::string&)>;

// Every text the stream stores of `object` and of the objects it holds.
void ForEachStoredText(TPersistent& object, const TTextVisit& visit) {
    for (const TPropInfo* property : object.ClassInfo().AllProperties()) {
        if (!property->stored)
            continue;
        if (property->kind == TPropKind::String) {
            std::string text = property->getString(object);
            const std::string before = text;
            visit(text);
            if (text != before)
                property->setString(object, std::move(text));
        } else if (property->kind == TPropKind::Object) {
            TPersistent* value = property->getObject(object);
            if (value == nullptr)
                continue;
            if (TCollection* collection = value->AsCollection()) {
                for (int i = 0; i < collection->Count(); ++i)
                    ForEachStoredText(collection->ItemAt(i), visit);
            } else {
                ForEachStoredText(*value, visit);
            }
        }
    }
    if (TStringList* strings = object.DefinedStrings()) {
        for (std::string& line : strings->lines) visit(line);
    }
}

}  // namespace

TUtf8Copy Utf8CopyOf(TPagelette& document) {
    TUtf8Copy copy;
    std::unique_ptr<TComponent> root = ReadComponent(WriteComponent(document));
    copy.document.reset(static_cast<TPagelette*>(root.release()));
    ForEachStoredText(*copy.document, [&copy](std::string& text) {
        if (!IsValidUtf8(text)) {
            text = Windows1252ToUtf8(text);
            copy.held8Bit = true;
        } else if (!IsAscii(text)) {
            copy.heldUtf8 = true;
        }
    });
    return copy;
}

}  // namespace tessel

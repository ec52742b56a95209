#include "document/Persistence.h"

#include "document/TextLines.h"

#include <algorithm>

namespace tessel {

namespace {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
    return out;
}

int TEnumInfo::OrdinalOf(std::string_view identifier) const {
    for (size_t i = 0; i < identifiers.size(); ++i) {
        if (SameText(identifiers[i], identifier)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const TEnumInfo& BooleanEnumInfo() {
    static const TEnumInfo info{"Boolean", {"False", "True"}};
    return info;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c != nullptr; c = c->parent) {
        chain.push_back(c);
    }
    std::vector<const TPropInfo*> all;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const TPropInfo& p : (*it)->properties) {
            all.push_back(&p);
        }
    }
    return all;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->parent) {
        for (const TPropInfo& p : c->properties) {
            if (SameText(p.name, name)) {
                return &p;
            }
        }
    }
    return nullptr;
}

const TClassInfo& TStringList::ClassInfo() const {
    static const TClassInfo info{"TStringList", nullptr, {}};
    return info;
}

std::string TStringList::Text() const {
    return JoinLines(lines);
}

void TStringList::SetText(std::string_view text) {
    lines = SplitLines(text);
}

void TCollectionItem::SetIndex(int newIndex) {
    if (collection_ != nullptr && newIndex != index_) {
        collection_->Move(index_, newIndex);
    }
}

TCollection::~TCollection() = default;

TCollectionItem& TCollection::ItemAt(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    return *items_[static_cast<size_t>(index)];
}

TCollectionItem& TCollection::AddItem() {
    std::unique_ptr<TCollectionItem> item = CreateItem();
    item->collection_ = this;
    item->index_ = Count();
    items_.push_back(std::move(item));
    return *items_.back();
}

TCollectionItem& TCollection::InsertItem(int index) {
    TCollectionItem& item = AddItem();
    if (index != item.index_) {
        Move(item.index_, index);
    }
    return item;
}

void TCollection::Move(int from, int to) {
    if (from < 0 || from >= Count()) {
        throw EListError(from);
    }
    if (to < 0 || to >= Count()) {
        throw EListError(to);
    }
    if (from == to) {
        return;
    }
    auto begin = items_.begin();
    if (from < to) {
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    } else {
        std::rotate(begin + to, begin + from, begin + from + 1);
    }
    Renumber(std::min(from, to), std::max(from, to));
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count()) {
        throw EListError(index);
    }
    items_.erase(items_.begin() + index);
    Renumber(index, Count() - 1);
}

void TCollection::Clear() {
    items_.clear();
}

void TCollection::Renumber(int from, int to) {
    for (int i = from; i <= to && i < Count(); ++i) {
        items_[static_cast<size_t>(i)]->index_ = i;
    }
}

const TClassInfo& TComponent::ClassInfo() const {
    return TComponentClassInfo();
}

const TClassInfo& TComponentClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo c{"TComponent", nullptr, {}};
        TPropInfo name = StringProperty("Name", &TComponent::Name);
        name.stored = false;  // the name is in the component header
        TPropInfo tag = IntegerProperty("Tag", &TComponent::Tag);
        tag.hasDefault = true;
        c.properties = {std::move(name), std::move(tag)};
        return c;
    }();
    return info;
}

void TClassRegistry::Register(const std::string& className, Factory factory) {
    factories_[UpperCase(className)] = std::move(factory);
}

const TClassRegistry::Factory* TClassRegistry::Find(std::string_view className) const {
    auto it = factories_.find(UpperCase(className));
    return it == factories_.end() ? nullptr : &it->second;
}

}  // namespace tessel

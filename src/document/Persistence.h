#pragma once

// The persistence framework: classes describe their published properties in declared
// order, and the component stream writer and reader walk those descriptions. Nothing
// else in the program needs to know how a property is stored.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/Exceptions.h"

namespace tessel {

class TPersistent;
class TComponent;

enum class TPropKind { Integer, Byte, Boolean, Enumeration, String, Object };

// The identifiers of an enumeration type, ordinal 0 upward.
struct TEnumInfo {
    std::string typeName;
    std::vector<std::string> identifiers;

    // Ordinal of an identifier compared without regard to case, or -1.
    int OrdinalOf(std::string_view identifier) const;
};

// Booleans are stored as the enumeration False, True.
const TEnumInfo& BooleanEnumInfo();

struct TPropInfo {
    std::string name;
    TPropKind kind = TPropKind::Integer;
    const TEnumInfo* enumInfo = nullptr;  // Boolean and Enumeration
    bool stored = true;                   // false: never written (a component's Name)
    bool hasDefault = false;              // the value equal to `defaultValue` is not written
    int32_t defaultValue = 0;

    std::function<int32_t(const TPersistent&)> getOrdinal;
    std::function<void(TPersistent&, int32_t)> setOrdinal;
    std::function<const std::string&(const TPersistent&)> getString;
    std::function<void(TPersistent&, std::string)> setString;
    // Object properties: the getter creates a lazily filled slot; `clearObject`, when set,
    // is what a nil value in a stream does.
    std::function<TPersistent*(TPersistent&)> getObject;
    std::function<void(TPersistent&)> clearObject;
};

struct TClassInfo {
    std::string name;
    const TClassInfo* parent = nullptr;
    std::vector<TPropInfo> properties;

    // Published properties, parent class first, in declared order.
    std::vector<const TPropInfo*> AllProperties() const;
    // Looked up without regard to case; nullptr when there is none.
    const TPropInfo* FindProperty(std::string_view name) const;
};

class TStringList;
class TCollection;

class TPersistent {
  public:
    virtual ~TPersistent() = default;
    virtual const TClassInfo& ClassInfo() const = 0;
    const std::string& ClassName() const { return ClassInfo().name; }

    // Properties stored besides the published ones ("Strings" of a string list).
    virtual TStringList* DefinedStrings() { return nullptr; }
    virtual TCollection* AsCollection() { return nullptr; }
    virtual TComponent* AsComponent() { return nullptr; }

  protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;
};

// Helpers that describe a property by a data member of class C.
template <class C>
TPropInfo StringProperty(std::string name, std::string C::*member) {
    TPropInfo p;
    p.name = std::move(name);
    p.kind = TPropKind::String;
    p.getString = [member](const TPersistent& o) -> const std::string& {
        return static_cast<const C&>(o).*member;
    };
    p.setString = [member](TPersistent& o, std::string v) {
        static_cast<C&>(o).*member = std::move(v);
    };
    return p;
}

template <class C, class T>
TPropInfo OrdinalProperty(std::string name, TPropKind kind, T C::*member,
                          const TEnumInfo* info = nullptr) {
    TPropInfo p;
    p.name = std::move(name);
    p.kind = kind;
    p.enumInfo = info;
    p.getOrdinal = [member](const TPersistent& o) {
        return static_cast<int32_t>(static_cast<const C&>(o).*member);
    };
    p.setOrdinal = [member](TPersistent& o, int32_t v) {
        static_cast<C&>(o).*member = static_cast<T>(v);
    };
    return p;
}

template <class C>
TPropInfo IntegerProperty(std::string name, int32_t C::*member) {
    return OrdinalProperty(std::move(name), TPropKind::Integer, member);
}

template <class C>
TPropInfo ByteProperty(std::string name, uint8_t C::*member) {
    return OrdinalProperty(std::move(name), TPropKind::Byte, member);
}

template <class C>
TPropInfo BooleanProperty(std::string name, bool C::*member) {
    return OrdinalProperty(std::move(name), TPropKind::Boolean, member, &BooleanEnumInfo());
}

// A Boolean with a declared default: the value equal to it is not written.
template <class C>
TPropInfo BooleanProperty(std::string name, bool C::*member, bool defaultValue) {
    TPropInfo p = BooleanProperty(std::move(name), member);
    p.hasDefault = true;
    p.defaultValue = defaultValue ? 1 : 0;
    return p;
}

template <class C, class E>
TPropInfo EnumProperty(std::string name, E C::*member, const TEnumInfo& info) {
    return OrdinalProperty(std::move(name), TPropKind::Enumeration, member, &info);
}

template <class C>
TPropInfo ObjectProperty(std::string name, std::function<TPersistent*(C&)> get,
                         std::function<void(C&)> clear = nullptr) {
    TPropInfo p;
    p.name = std::move(name);
    p.kind = TPropKind::Object;
    p.getObject = [get = std::move(get)](TPersistent& o) { return get(static_cast<C&>(o)); };
    if (clear) {
        p.clearObject = [clear = std::move(clear)](TPersistent& o) { clear(static_cast<C&>(o)); };
    }
    return p;
}

// A list of text lines; stored through its defined property "Strings".
class TStringList final : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;
    TStringList* DefinedStrings() override { return this; }

    std::vector<std::string> lines;

    int Count() const { return static_cast<int>(lines.size()); }
    void Clear() { lines.clear(); }
    void Add(std::string line) { lines.push_back(std::move(line)); }
    // The lines joined, each one ended by CR LF.
    std::string Text() const;
    // Splits at CR LF, LF or CR; a final line end adds no empty line.
    void SetText(std::string_view text);
};

class TCollection;

class TCollectionItem : public TPersistent {
  public:
    TCollection* Collection() const { return collection_; }
    int Index() const { return index_; }
    // Moves this item to another position of its collection.
    void SetIndex(int newIndex);

  private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int index_ = -1;
};

// An ordered, owning list of items of one class.
class TCollection : public TPersistent {
  public:
    ~TCollection() override;
    TCollection* AsCollection() override { return this; }

    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem& ItemAt(int index) const;
    // A new empty item, appended.
    TCollectionItem& AddItem();
    // A new empty item, appended and then moved to `index`.
    TCollectionItem& InsertItem(int index);
    // The item at `from` takes position `to`; the items between shift by one.
    void Move(int from, int to);
    void Delete(int index);
    void Clear();

  protected:
    TCollection() = default;
    virtual std::unique_ptr<TCollectionItem> CreateItem() = 0;

  private:
    void Renumber(int from, int to);
    std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// A collection whose items are all of class Item.
template <class Item>
class TTypedCollection : public TCollection {
  public:
    Item& Items(int index) const { return static_cast<Item&>(ItemAt(index)); }
    Item& Add() { return static_cast<Item&>(AddItem()); }
    Item& Insert(int index) { return static_cast<Item&>(InsertItem(index)); }

  protected:
    std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<Item>(); }
};

// The published properties of every component: Name (kept in the header) and Tag.
const TClassInfo& TComponentClassInfo();

// A streamable root object with a name.
class TComponent : public TPersistent {
  public:
    const TClassInfo& ClassInfo() const override;
    TComponent* AsComponent() override { return this; }

    std::string Name;
    int32_t Tag = 0;
};

// Root classes that a stream may name, found by class name without regard to case.
class TClassRegistry {
  public:
    using Factory = std::function<std::unique_ptr<TComponent>()>;

    void Register(const std::string& className, Factory factory);
    // nullptr when the class is not registered.
    const Factory* Find(std::string_view className) const;

  private:
    std::map<std::string, Factory> factories_;  // keyed by upper-case name
};

// Compares two texts without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

}  // namespace tessel

#pragma once

// How the translation pass reaches what a row names, and writes it: the owner's components by
// name and their published properties by name, kind and access. Nothing here knows a control
// class; a class takes part by publishing the properties the rows name (Caption, Hint, Font,
// Lines, Text...).

#include "base/component.h"
#include "base/properties.h"
#include "base/scope_exit.h"
#include "base/string_list.h"

#include <optional>
#include <string_view>
#include <utility>

namespace kq::langpass {

// The published property of that name and kind that can be both read and written, or nullptr.
const TPropInfo* FindReadWriteProp(const TObject& object, std::string_view name, TPropKind kind);

// A property that holds an object the pass may step into: an object, a string list or a font.
bool IsObjectKind(TPropKind kind);

// The property's current text, or nothing when it cannot be read.
std::optional<AnsiString> CurrentText(const TObject& object, const TPropInfo& prop);

// These write only a value that differs from the current one, so applying the same language
// again repaints nothing.
void WriteText(TObject& object, const TPropInfo& prop, const AnsiString& value);
void WriteOrdinal(TObject& object, const TPropInfo& prop, int value);

// A font reached through its own published properties: Name (the face) and Charset. Whether
// the face changed.
bool SetFontFace(TPersistent& font, const AnsiString& face);
void SetFontCharset(TPersistent& font, int charset);

// The object's published Action property holds an action: its texts come from the action.
bool HasAction(TObject& object);

// The object's published ParentFont is on: its font follows its parent's.
bool FollowsParentFont(const TObject& object);

// A form: the owner whose own row opens the Captions, Hints and Fonts sections.
bool IsForm(const TObject& object);

// The component a row names: the owner's component of that name (ignoring case); else the owner
// itself when the name is its class name or its Name (exact case); else nullptr.
TComponent* FindRowComponent(TComponent& owner, std::string_view name);

// Runs work, then restore, also when work fails (restore's own failure then gives way to work's).
template <class Work, class Restore>
void AfterwardsAlso(Work work, Restore restore) {
    ScopeExit restoring(std::move(restore));
    work();
}

// Writes items over lines in place: item i replaces line i where it differs, lines beyond the
// old count are appended and surplus lines deleted. A sorted list is unsorted meanwhile and
// sorted again afterwards, so the items land at the positions given.
void WriteLinesInPlace(TStrings& lines, const TStrings& items);

} // namespace kq::langpass

#pragma once
// The named character references a document may use: the entities of HTML 4
// plus "apos". Names compare exactly ("Oslash" and "oslash" differ).
#include <cstddef>
#include <string_view>

// The code point of the named reference (without '&' and ';'), or 0 when
// the name is not a known reference.
unsigned LookupNamedReference(std::wstring_view name);
// How many names the table holds.
size_t NamedReferenceCount();

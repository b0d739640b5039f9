// Layer key texts as a stored profile or a host may hand them: any bytes, with or without separators.
// A parsed key must print back to a text that parses to an equal key; hashes ignore case; lists built
// from the keys stay sorted and unique through every list operation.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/layer_keys.h"
#include "common/name_hash.h"
#include "fuzz_input.h"

namespace {

constexpr int kMaxTexts = 32;
constexpr std::size_t kMaxTextLength = 256;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "layer keys: %s\n", what);
  std::abort();
}

void CheckOrder(const ModuleLayerKeyList& list) {
  for (std::size_t i = 1; i < list.Keys().size(); ++i)
    if (!(list.Keys()[i - 1] < list.Keys()[i])) Fail("list not sorted and unique");
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  ModuleLayerKeyList list;
  ModuleLayerKeyList removed;
  for (int n = 0; n < kMaxTexts && !input.Empty(); ++n) {
    const std::string text = input.Text(kMaxTextLength);
    if (NameHash(text) != NameHash(Upper(text))) Fail("hash depends on case");

    ModuleLayerKey key;
    const bool parsed = FromText(CString(text.c_str()), key);
    if (parsed != (text.find('?') != std::string::npos)) Fail("parse disagrees with the separator");
    if (!parsed) continue;
    CString printed;
    ToText(key, printed);
    ModuleLayerKey again;
    if (!FromText(printed, again) || !(again == key) || again.GetModule() != key.GetModule() ||
        again.GetItem() != key.GetItem())
      Fail("printed key does not parse back");

    const int before = list.Count();
    const bool known = list.Contains(key);
    list.Add(key);
    if (list.Count() != before + (known ? 0 : 1) || !list.Contains(key)) Fail("add lost or doubled a key");
    if ((input.Byte() & 3) == 0) removed.Add(key);
  }
  CheckOrder(list);

  ModuleLayerKeyList copy;
  copy.Assign(list);
  copy.RemoveAll(removed);
  CheckOrder(copy);
  for (const ModuleLayerKey& key : removed.Keys())
    if (copy.Contains(key)) Fail("removed key still listed");
  copy.AddAll(removed);
  CheckOrder(copy);
  if (copy.Count() != list.Count()) Fail("remove and add back changed the count");

  int visited = 0;
  ModuleLayerKey next;
  list.Rewind();
  while (list.Next(next)) ++visited;
  if (visited != list.Count()) Fail("iteration skipped keys");
  return 0;
}

#include "tools/cnfcheck/item_view.h"

#include "core/registry_sink.h"

namespace {

constexpr const char* kListNames[kItemListCount] = {
    "iniSectionItems", "regFileItems",   "regValueItems", "updateItems", "appendItems",
    "fileItems",       "shellLinkItems", "textLineItems", "folderItems",
};

ItemField Text(const char* name, const char* text) { return ItemField{name, text, false, 0}; }
ItemField Number(const char* name, int64_t number) { return ItemField{name, "", true, number}; }

template <typename Item>
ItemView Begin(size_t listIndex, const Item& item) {
  return ItemView{listIndex, item.lineNumber, {}, item.includeMask, item.excludeMask};
}

template <typename Item, typename Fields>
void AddList(const OwnedList<Item>& list, size_t listIndex, Fields fields, std::vector<ItemView>* views) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const Item& item = *list.At(i);
    ItemView view = Begin(listIndex, item);
    fields(item, &view.fields);
    views->push_back(std::move(view));
  }
}

void FileFields(const FileItem& item, std::vector<ItemField>* f) {
  f->push_back(Text("source", item.source));
  f->push_back(Text("destination", item.destination));
  f->push_back(Number("precache", item.precache));
  f->push_back(Number("optional", item.optional));
}

}  // namespace

const char* ItemListName(size_t listIndex) {
  return listIndex < kItemListCount ? kListNames[listIndex] : "";
}

void CollectItemViews(const InstallScript& script, std::vector<ItemView>* views) {
  AddList(script.iniSectionItems, 0, [](const IniSectionItem& item, std::vector<ItemField>* f) {
    f->push_back(Text("source", item.source));
    f->push_back(Text("section", item.section));
    f->push_back(Text("file", item.file));
  }, views);
  AddList(script.regFileItems, 1, [](const RegFileItem& item, std::vector<ItemField>* f) {
    f->push_back(Text("source", item.source));
  }, views);
  AddList(script.regValueItems, 2, [](const RegValueItem& item, std::vector<ItemField>* f) {
    f->push_back(Text("root", RegistryRootName(item.root)));
    f->push_back(Text("key", item.key));
    f->push_back(Text("name", item.name));
    f->push_back(Number("type", item.type));
    f->push_back(Text("data", item.data));
    f->push_back(Number("dwordValue", item.dwordValue));
    f->push_back(Number("dataSize", item.dataSize));
  }, views);
  AddList(script.updateItems, 3, FileFields, views);
  AddList(script.appendItems, 4, FileFields, views);
  AddList(script.fileItems, 5, FileFields, views);
  AddList(script.shellLinkItems, 6, [](const ShellLinkItem& item, std::vector<ItemField>* f) {
    f->push_back(Text("link", item.link));
    f->push_back(Text("target", item.target));
    f->push_back(Text("description", item.description));
    f->push_back(Text("iconFile", item.iconFile));
    f->push_back(Number("iconIndex", item.iconIndex));
  }, views);
  AddList(script.textLineItems, 7, [](const TextLineItem& item, std::vector<ItemField>* f) {
    f->push_back(Text("file", item.file));
    f->push_back(Text("pattern", item.pattern));
    f->push_back(Number("enable", item.enable));
  }, views);
  AddList(script.folderItems, 8, [](const FolderItem& item, std::vector<ItemField>* f) {
    f->push_back(Text("folder", item.folder));
  }, views);
}

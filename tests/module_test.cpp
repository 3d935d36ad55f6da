// Loading, start-up and registration, seen from the host's side.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/library_folder.h"
#include "testhost/module_loader.h"

namespace testhost {
namespace {

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

EntryPoint ModuleEntryPoint(HMODULE module) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return reinterpret_cast<EntryPoint>(base + nt->OptionalHeader.AddressOfEntryPoint);
}

class ModuleTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(ModuleTest, RegistersOneDefinitionAndRemovesItOnce) {
  Module module(StageModule(GetParam()));
  ASSERT_EQ(module.Init(), 0);
  EXPECT_EQ(module.versionOut, 16);
  EXPECT_EQ(module.compatVersionOut, 9);
  ASSERT_EQ(module.registrations.size(), 1u);
  const Module::Registration& registration = module.registrations[0];
  EXPECT_EQ(registration.size, 224);
  EXPECT_EQ(registration.hostModule, module.hostModuleToken);

  const FilterDefinition& definition = *registration.definition;
  EXPECT_STREQ(definition.description, definition.displayName);
  EXPECT_NE(definition.maker, nullptr);
  EXPECT_EQ(definition.reserved00, nullptr);
  EXPECT_EQ(definition.privateData, nullptr);
  EXPECT_EQ(definition.reservedB0, nullptr);
  EXPECT_EQ(definition.reservedD8, nullptr);
  EXPECT_GT(definition.instanceDataSize, sizeof(void*));
  for (auto callback : {(void*)definition.initInstance, (void*)definition.destroyInstance, (void*)definition.runFrame,
                        (void*)definition.getParams, (void*)definition.configure, (void*)definition.legacyString,
                        (void*)definition.start, (void*)definition.end, (void*)definition.scriptLine,
                        (void*)definition.settingsString, (void*)definition.saveState, (void*)definition.loadState,
                        (void*)definition.copyInstance, (void*)definition.copyInstanceEx, (void*)definition.event,
                        (void*)definition.accelRun})
    EXPECT_NE(callback, nullptr);

  // The script table: one "Config" row, then the all-null end row.
  ASSERT_NE(definition.scriptObject, nullptr);
  const ScriptFunctionEntry* table = definition.scriptObject->functionTable;
  ASSERT_NE(table, nullptr);
  EXPECT_STREQ(table[0].functionName, "Config");
  EXPECT_EQ(table[0].signature[0], '0');
  EXPECT_EQ(table[1].handler, nullptr);
  EXPECT_EQ(table[1].functionName, nullptr);
  EXPECT_EQ(table[1].signature, nullptr);

  module.Deinit();
  ASSERT_EQ(module.removals.size(), 1u);
  EXPECT_EQ(module.removals[0], registration.handle);
  module.Deinit();
  EXPECT_EQ(module.removals.size(), 1u);
}

TEST_P(ModuleTest, ExitWithoutEntryCallsNothing) {
  Module module(StageModule(GetParam()));
  module.Deinit();
  EXPECT_TRUE(module.removals.empty());
}

TEST_P(ModuleTest, PointsDllSearchAtLibraryFolderBesideIt) {
  const std::wstring path = StageModule(GetParam());
  SetDllDirectoryW(nullptr);
  Module module(path);
  const std::filesystem::path expected = std::filesystem::path(path).parent_path() / L"tarvudlls";
  EXPECT_EQ(CurrentDllDirectory(), expected.wstring());
  SetDllDirectoryW(nullptr);
}

TEST_P(ModuleTest, StartRoutineReturnsTrueForThreadNotifications) {
  Module module(StageModule(GetParam()));
  const EntryPoint entry = ModuleEntryPoint(module.Handle());
  SetDllDirectoryW(L"C:\\untouched");
  EXPECT_TRUE(entry(module.Handle(), DLL_THREAD_ATTACH, nullptr));
  EXPECT_TRUE(entry(module.Handle(), DLL_THREAD_DETACH, nullptr));
  // Only a process attach changes the search folder.
  EXPECT_EQ(CurrentDllDirectory(), L"C:\\untouched");
  SetDllDirectoryW(nullptr);
}

TEST_P(ModuleTest, InstanceObjectLiesRightBehindItsPointer) {
  Module module(StageModule(GetParam()));
  ASSERT_EQ(module.Init(), 0);
  Picture source(16, 16, 15), destination(16, 16, 15);
  Instance instance(module.Definition(), source, destination);
  ASSERT_EQ(instance.Init(), 0);
  EXPECT_EQ(static_cast<uint8_t*>(instance.FilterObject()), static_cast<uint8_t*>(instance.BlockStart()) + 8);
  instance.Destroy();
}

TEST(LibraryFolder, SitsBesideTheModule) {
  EXPECT_EQ(tarvu::LibraryFolderFor(L"D:\\x\\y\\m.vdf"), L"D:\\x\\y\\tarvudlls");
  EXPECT_EQ(tarvu::LibraryFolderFor(L"C:\\m.vdf"), L"C:\\tarvudlls");
  EXPECT_EQ(tarvu::LibraryFolderFor(L"m.vdf"), std::nullopt);
  EXPECT_EQ(tarvu::LibraryFolderFor(L""), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleTest,
                         ::testing::Values(L"TarvuDeblock", L"TarvuUnSharp", L"TarvuSmartBlur", L"TarvuNlMeans",
                                           L"TarvuVagueDenoiser", L"TarvuBwDif"));

}  // namespace
}  // namespace testhost

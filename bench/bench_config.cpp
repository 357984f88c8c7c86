// Configuration file save and load at the largest size the gateway produces
// (179 screens of 500 captured fields, every table filled) and at a typical
// size (60 screens of 80 fields), and export and import of the JSON form of
// the largest.  Each figure is the best of a few runs, so one slow run of a
// busy machine does not decide it.
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <string>

#include "bench_registry.h"
#include "config/config_json.h"
#include "config/config_reader.h"
#include "config/config_writer.h"

namespace tervo::bench {
namespace {

using config::ScreenStore;

void Fill(ScreenStore& store, int screens, int fields, int divisions) {
  store.NumeroMaximoDeEcrans = screens;
  store.GrowScreenTables();
  store.ScreenCt = screens;
  for (int s = 1; s <= screens; ++s) {
    auto& d = store.Screens[s];
    d.ScreenId = 100000 + s * 37;
    d.ScreenIdUser = "USER" + std::to_string(s);
    d.CheckScreenIdUser = 1;
    d.Master = s % 3 == 0 ? config::kScreenMaster : config::kScreenDefined;
    d.EscKey = "@3";
    d.KeysAfterEnter = "@E,@u";
    for (int k = 0; k < 8; ++k) {
      d.TeclasFuncao[k] = "F" + std::to_string(k + 1) + "=Exit";
      d.TeclasFuncaoVal[k] = "@" + std::to_string(k + 1);
    }
    auto& o = store.Originals[s];
    o.Count = fields;
    for (int j = 0; j < fields; ++j) {
      auto& f = d.Screen[j];
      f.FieldPos = j * 7 % 2000;
      f.Size = 10 + j % 20;
      f.NewLine = j % 2;
      f.Show = 1;
      f.AuxText = "Qty:";
      f.SizeTextAux = 4;
      f.Order = j + 1;
      f.Barcode = j % 5 == 0;
      f.InputField = j % 3 == 0;
      f.flag2 = j % 8;
      f.Flag = j % 64;
      f.JoinField = j % 10 == 0 ? "F1+F2" : "";
      o[j].Text = "Field text " + std::to_string(j) + " \"x\"";
      o[j].Size = 10 + j % 20;
      o[j].Protected = j % 2 == 0;
      o[j].StartRow = 1 + j / 40;
      o[j].StartColumn = 1 + j % 40 * 2;
      o[j].EndRow = 1 + j / 40;
      o[j].EndColumn = 2 + j % 40 * 2;
      o[j].Length = 10 + j % 20;
      o[j].AType = j % 4;
      o[j].Justify = j % 3;
      o[j].Underlined = j % 3 == 0;
      if (s <= config::kMaxTextScreen) store.ScreensText[s][j] = "Label " + std::to_string(j);
      store.Indice[s][(o[j].StartRow * 80 + o[j].StartColumn) % config::kPositionSlots] = j;
    }
    std::string aspect;
    for (int r = 0; r < 25; ++r) aspect += std::string(80, static_cast<char>('A' + r % 26)) + "\r\n";
    store.ScreenAspect[s] = aspect;
    store.ScreenAspect[s].resize(config::kScreenAspectSize, ' ');
    store.AdvScreens[s].Active = s % 2 == 0;
    store.AdvScreens[s].Keys = "@E";
    store.MasterScreens[s].MoveV = 80;
  }
  store.DivideFieldsCt = divisions;
  for (int k = 0; k < std::min(divisions, config::kDivisionSlots); ++k)
    store.DivideFields[k] = {1 + k % screens, k % fields, k * 3 % 2000, 5, 1, k % 2};
}

struct NullPrompt : config::LoadPrompt {
  void ReportBadLine(const config::BadLine&) override {}
};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Best save and load times over `runs` rounds; returns the file size.
std::size_t Measure(const std::string& base, int screens, int fields, int divisions, int runs, double* saveMs,
                    double* loadMs) {
  ScreenStore store;
  config::GeneralOptions options;
  Fill(store, screens, fields, divisions);
  *saveMs = *loadMs = 1e9;
  std::size_t bytes = 0;
  for (int r = 0; r < runs; ++r) {
    std::string err;
    auto t0 = std::chrono::steady_clock::now();
    if (!config::SaveDataToFile2(base, store, options, &err)) {
      std::fprintf(stderr, "save failed: %s\n", err.c_str());
      return 0;
    }
    auto t1 = std::chrono::steady_clock::now();
    ScreenStore loaded;
    config::GeneralOptions loadedOptions;
    NullPrompt prompt;
    auto t2 = std::chrono::steady_clock::now();
    if (!config::LoadDataFromFile2(base, loaded, loadedOptions, prompt)) {
      std::fprintf(stderr, "load failed\n");
      return 0;
    }
    auto t3 = std::chrono::steady_clock::now();
    *saveMs = std::min(*saveMs, Ms(t1 - t0));
    *loadMs = std::min(*loadMs, Ms(t3 - t2));
    bytes = config::WriteConfig(loaded, loadedOptions).size();
  }
  return bytes;
}

// Best export and import times of the JSON form of the same configuration;
// returns the JSON's size, 0 when the round trip did not give the file back.
std::size_t MeasureJson(int screens, int fields, int divisions, int runs, double* exportMs, double* importMs) {
  ScreenStore store;
  config::GeneralOptions options;
  Fill(store, screens, fields, divisions);
  const std::string file = config::WriteConfig(store, options);
  *exportMs = *importMs = 1e9;
  std::size_t bytes = 0;
  for (int r = 0; r < runs; ++r) {
    auto t0 = std::chrono::steady_clock::now();
    const std::string json = config::ExportJson(store, options);
    auto t1 = std::chrono::steady_clock::now();
    ScreenStore back;
    config::GeneralOptions backOptions;
    std::string err;
    if (!config::ImportJson(json, back, backOptions, &err)) {
      std::fprintf(stderr, "import failed: %s\n", err.c_str());
      return 0;
    }
    auto t2 = std::chrono::steady_clock::now();
    if (config::WriteConfig(back, backOptions) != file) {
      std::fprintf(stderr, "the JSON round trip changed the file\n");
      return 0;
    }
    *exportMs = std::min(*exportMs, Ms(t1 - t0));
    *importMs = std::min(*importMs, Ms(t2 - t1));
    bytes = json.size();
  }
  return bytes;
}

int Run(const std::vector<std::string>& args) {
  const int runs = args.empty() ? 3 : std::max(1, std::stoi(args[0]));
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const std::string base = dir.filePath("bench").toStdString();
  double save = 0, load = 0;
  const std::size_t bytes = Measure(base, 179, 500, 2001, runs, &save, &load);
  if (!bytes) return 1;
  Report("config_max_bytes", static_cast<double>(bytes), "bytes");
  Report("config_max_save_ms", save, "ms");
  Report("config_max_load_ms", load, "ms");
  double exportMs = 0, importMs = 0;
  const std::size_t jsonBytes = MeasureJson(179, 500, 2001, runs, &exportMs, &importMs);
  if (!jsonBytes) return 1;
  Report("config_max_json_bytes", static_cast<double>(jsonBytes), "bytes");
  Report("config_max_json_export_ms", exportMs, "ms");
  Report("config_max_json_import_ms", importMs, "ms");
  if (!Measure(base, 60, 80, 200, runs * 3, &save, &load)) return 1;
  Report("config_typical_save_ms", save, "ms");
  Report("config_typical_load_ms", load, "ms");
  return 0;
}

static Register r("config", Run);

}  // namespace
}  // namespace tervo::bench

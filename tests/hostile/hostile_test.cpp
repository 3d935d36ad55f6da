// Seeded random sequences of everything the host can do to a plug-in: script
// calls of any length and value, text requests with any buffer length, mode
// switches, pictures of every shape, and starts, runs, ends, copies and
// destroys in any order. After every run each destination byte is checked
// against what the mode says (filtered, source or old content), and the
// guards around every plane must be intact. Under the sanitizers any stray
// read, write, leak or undefined behaviour ends the run as well.
//
// Seeds: TARVU_HOSTILE_SEEDS (a count, default 6) or TARVU_HOSTILE_SEED (one
// seed, to replay a failure).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "reference_filter.h"
#include "tests/portable/plugin_under_test.h"

namespace hostile {
namespace {

using portable::PluginUnderTest;
using portable::ThePlugin;
using testhost::Instance;
using testhost::Picture;

// --- Randomness that replays the same on every platform ---------------------------

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1)); }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <typename T>
  T Pick(const std::vector<T>& values) {
    return values[Next() % values.size()];
  }
  // Edge values, small values and raw 32-bit patterns alike.
  int32_t Any32() {
    static const std::vector<int32_t> edges = {INT32_MIN, INT32_MIN + 1, -100, -16, -1, 0,   1,   2,   3,  4,
                                               5,         7,             8,    9,   10, 15,  16,  20,  63, 64,
                                               99,        100,           101,  511, 512, 513, INT32_MAX - 1, INT32_MAX};
    switch (Between(0, 2)) {
      case 0: return Pick(edges);
      case 1: return Between(-20, 120);
      default: return static_cast<int32_t>(static_cast<uint32_t>(Next()));
    }
  }

 private:
  uint64_t state_;
};

// --- Profiles: what a sequence mostly does --------------------------------------

enum class Op { kScript, kText, kMode, kNegotiate, kStart, kRun, kEnd, kPictures, kCopy, kDestroy, kAdd, kConfigure, kMisc };

struct Profile {
  const char* name;
  std::vector<std::pair<Op, int>> weights;
  int operations;   // per case
  int bigPictures;  // percent of picture changes that pick 1080p or 4K
  int restarts;     // percent of picture changes after which the host restarts an instance on them
};

const Profile kScriptsAndTexts = {
    "scripts and texts",
    {{Op::kScript, 30}, {Op::kText, 25}, {Op::kMode, 10}, {Op::kRun, 20}, {Op::kNegotiate, 4}, {Op::kStart, 4},
     {Op::kEnd, 2}, {Op::kConfigure, 5}, {Op::kPictures, 2}},
    60,
    0,
    50};
const Profile kPictureShapes = {
    "picture shapes",
    {{Op::kPictures, 20}, {Op::kNegotiate, 15}, {Op::kStart, 15}, {Op::kRun, 35}, {Op::kEnd, 8}, {Op::kMode, 5},
     {Op::kScript, 2}},
    40,
    3,
    75};
const Profile kLifecycles = {
    "lifecycles",
    {{Op::kAdd, 8}, {Op::kCopy, 12}, {Op::kDestroy, 10}, {Op::kStart, 15}, {Op::kEnd, 15}, {Op::kRun, 20},
     {Op::kNegotiate, 8}, {Op::kScript, 5}, {Op::kMisc, 5}, {Op::kPictures, 2}},
    60,
    0,
    20};

Op PickOp(Random& random, const Profile& profile) {
  int total = 0;
  for (const auto& [op, weight] : profile.weights) total += weight;
  int roll = random.Between(1, total);
  for (const auto& [op, weight] : profile.weights)
    if ((roll -= weight) <= 0) return op;
  return profile.weights.front().first;
}

// --- Pictures ----------------------------------------------------------------------

const std::vector<int> kAcceptedFormats = {13, 15, 26, 28, 33, 35, 40, 42};
const std::vector<int> kRefusedFormats = {0, 1, 12, 14, 16, 27, 34, 41, 43, -1, 255, INT32_MIN};

bool Is420Code(int format) { return format == 15 || format == 28 || format == 35 || format == 42; }
int32_t PixelFormatOf(int format) {
  if (Is420Code(format)) return 0;
  return std::find(kAcceptedFormats.begin(), kAcceptedFormats.end(), format) != kAcceptedFormats.end() ? 5 : -1;
}

struct Shape {
  int width, height, format, padding;
  bool bottomUp;
};

Shape RandomShape(Random& random, const Profile& profile, int format) {
  static const std::vector<int> sizes = {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 127};
  Shape shape{random.Pick(sizes), random.Pick(sizes), format, random.Chance(50) ? 0 : random.Between(1, 67),
              random.Chance(40)};
  if (random.Chance(10)) {
    shape.width = random.Between(100, 400) | 1;
    shape.height = random.Between(60, 300) | 1;
  }
  if (random.Chance(profile.bigPictures)) {
    const bool fourK = random.Chance(30);
    shape.width = fourK ? 3840 : 1920;
    shape.height = fourK ? 2160 : 1080;
  }
  return shape;
}

std::unique_ptr<Picture> MakePicture(const Shape& shape, uint32_t seed) {
  auto picture = std::make_unique<Picture>(shape.width, shape.height, shape.format, shape.padding, shape.bottomUp);
  picture->FillBlocks(seed, 8);
  return picture;
}

// A destination of the same format, the same size or smaller or larger.
Shape DestinationFor(Random& random, const Shape& source) {
  Shape destination = source;
  destination.padding = random.Chance(50) ? 0 : random.Between(1, 40);
  destination.bottomUp = random.Chance(40);
  if (random.Chance(50)) {
    destination.width = std::max(0, source.width + random.Between(-9, 9));
    destination.height = std::max(0, source.height + random.Between(-9, 9));
  }
  return destination;
}

// --- The model: what the host knows an instance must hold --------------------------

struct Tracked {
  std::unique_ptr<Instance> instance;
  std::vector<int32_t> values;  // the script values it must report
  int32_t pixelFormat = 0;      // from its last accepted negotiation
  bool streaming = false;
  int startWidth = 0, startHeight = 0;
  int32_t startPixelFormat = 0;
  int32_t graphSinkFormat = 0;  // what the sink of its latest graph accepts
  // A filter that keeps frames between calls is followed frame by frame.
  std::unique_ptr<ReferenceStream> stream = std::make_unique<ReferenceStream>();
  bool streamStale = false;  // the instance built a graph the stream has not followed yet
};

std::string ScriptLineOf(const std::vector<int32_t>& values) { return fmt::format("Config({})", fmt::join(values, ",")); }

// Text written into a host buffer of this length: cut, then terminated.
std::string Cut(const std::string& text, int64_t length) {
  return text.substr(0, static_cast<std::size_t>(std::min<int64_t>(length - 1, static_cast<int64_t>(text.size()))));
}

struct Counters {
  long cases = 0, operations = 0, runs = 0, bigRuns = 0;
  long outcomes[4] = {0, 0, 0, 0};  // by Expect
};
Counters totals;

class Sequence {
 public:
  Sequence(uint64_t seed, const Profile& profile)
      : random_(seed), profile_(profile), plugin_(ThePlugin()) {}

  void Play() {
    NewPictures();
    Add();
    for (int step = 0; step < profile_.operations && !::testing::Test::HasFatalFailure(); ++step) {
      SCOPED_TRACE(fmt::format("operation {}", step));
      Do(PickOp(random_, profile_));
      ++totals.operations;
      if (::testing::Test::HasFailure()) return;
    }
    while (!live_.empty()) Destroy(0);
  }

 private:
  Tracked& Any() { return live_[random_.Next() % live_.size()]; }

  Instance& Bind(Tracked& tracked) {
    tracked.instance->SetPictures(*source_, *destination_);
    return *tracked.instance;
  }

  void Do(Op op) {
    if (live_.empty() && op != Op::kPictures) op = Op::kAdd;
    switch (op) {
      case Op::kScript: return Script(Any());
      case Op::kText: return Text(Any());
      case Op::kMode: return Mode(Any());
      case Op::kNegotiate: return Negotiate(Any());
      case Op::kStart: return Start(Any());
      case Op::kRun: return Run(Any());
      case Op::kEnd: return End(Any());
      case Op::kPictures: return NewPicturesAndRestart();
      case Op::kCopy: return Copy(Any());
      case Op::kDestroy: return Destroy(random_.Next() % live_.size());
      case Op::kAdd: return Add();
      case Op::kConfigure: return Configure(Any());
      case Op::kMisc: return Misc(Any());
    }
  }

  void NewPicturesAndRestart() {
    NewPictures();
    if (live_.empty() || !random_.Chance(profile_.restarts)) return;
    Tracked& tracked = Any();
    if (random_.Chance(80)) End(tracked);
    Negotiate(tracked);
    Start(tracked);
  }

  void NewPictures() {
    const int format = random_.Chance(85) ? random_.Pick(kAcceptedFormats) : random_.Pick(kRefusedFormats);
    Shape source = RandomShape(random_, profile_, format);
    if (source_ && random_.Chance(30)) {  // the same size in another format or layout
      source.width = source_->Width();
      source.height = source_->Height();
    }
    source_ = MakePicture(source, static_cast<uint32_t>(random_.Next()));
    destination_ = MakePicture(DestinationFor(random_, source), static_cast<uint32_t>(random_.Next()));
  }

  void Add() {
    if (live_.size() >= 4) return;
    Tracked tracked;
    tracked.instance = std::make_unique<Instance>(*plugin_.definition, *source_, *destination_);
    ASSERT_EQ(tracked.instance->Init(), 0);
    tracked.values = plugin_.DefaultScriptValues();
    live_.push_back(std::move(tracked));
    CheckValues(live_.back());
    if (random_.Chance(60)) {  // as the host mostly does
      Negotiate(live_.back());
      Start(live_.back());
    }
  }

  void Copy(Tracked& from) {
    if (live_.size() >= 4) return;
    Tracked copy;
    Bind(from);
    copy.instance = random_.Chance(50) ? from.instance->Copy() : from.instance->CopyEx();
    ASSERT_NE(copy.instance->FilterObject(), nullptr);
    // A copy owns no libavfilter objects until its own start.
    EXPECT_FALSE(plugin_.GraphReady(copy.instance->FilterObject()));
    copy.values = from.values;
    copy.pixelFormat = from.pixelFormat;
    live_.push_back(std::move(copy));
    CheckValues(live_.back());
  }

  void Destroy(std::size_t index) {
    Tracked& tracked = live_[index];
    // Streaming or not, with or without an end: the host may drop it any time.
    if (random_.Chance(50)) tracked.instance->Destroy();
    live_.erase(live_.begin() + static_cast<std::ptrdiff_t>(index));
  }

  void Script(Tracked& tracked) {
    const int32_t n = static_cast<int32_t>(plugin_.scriptArguments);
    const std::vector<int32_t> counts = {INT32_MIN, -1, 0, 1, n - 1, n, n, n, n + 1, n + 2, 40};
    const int32_t count = random_.Chance(20) ? random_.Between(-5, 40) : random_.Pick(counts);
    std::vector<int32_t> arguments(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < arguments.size(); ++i) arguments[i] = AnyArgument(i);
    if (random_.Chance(50)) {  // mostly sound values, so that the graph often builds
      const std::vector<int32_t> defaults = plugin_.DefaultScriptValues();
      for (std::size_t i = 0; i < arguments.size() && i < defaults.size(); ++i)
        if (random_.Chance(75)) arguments[i] = defaults[i];
    }
    Bind(tracked).Script(arguments, count);
    if (count >= n)
      tracked.values = plugin_.StoredScriptValues({arguments.begin(), arguments.begin() + n});
    else if (plugin_.traits.shortCall == tarvu::ShortScriptCall::kResetsToDefaults)
      tracked.values = plugin_.DefaultScriptValues();
    CheckValues(tracked);
  }

  // Any value, but small ones where large ones would cost too much: both
  // signs stay, so the lower clamp is still reached.
  int32_t AnyArgument(std::size_t index) {
    const int32_t value = random_.Any32();
    const auto& costly = plugin_.costlyArguments;
    return std::find(costly.begin(), costly.end(), index) != costly.end() ? value % 4 : value;
  }

  void Text(Tracked& tracked) {
    Instance& instance = Bind(tracked);
    const std::string line = ScriptLineOf(tracked.values);
    const int64_t size = static_cast<int64_t>(line.size());
    const std::vector<int64_t> lengths = {INT32_MIN, -1, 0, 1, 2, 8, 10, size - 1, size, size + 1, size + 2, 80, 4096,
                                          INT32_MAX};
    const int64_t length = random_.Pick(lengths);
    switch (random_.Between(0, 2)) {
      case 0: {
        bool result = true;
        CheckHostText(line, length, [&](char* buffer) {
          result = instance.ScriptLine(buffer, static_cast<int32_t>(length));
        });
        EXPECT_EQ(result, length > 1) << "script line result, length " << length;
        break;
      }
      case 1:
        CheckHostText(line, 80, [&](char* buffer) { instance.LegacyString(buffer); });
        break;
      default:
        CheckHostText(" 0 1 2", length,
                      [&](char* buffer) { instance.SettingsString(buffer, static_cast<int32_t>(length)); });
        break;
    }
  }

  // The buffer is the declared length (bounded by what the text can need),
  // with guard bytes behind it.
  template <typename Write>
  void CheckHostText(const std::string& text, int64_t length, Write write) {
    constexpr char kUnwritten = 0x5A;
    const int64_t room = std::clamp<int64_t>(length, 0, static_cast<int64_t>(text.size()) + 64);
    std::vector<char> buffer(static_cast<std::size_t>(room) + 32, kUnwritten);
    write(buffer.data());
    std::string expected(buffer.size(), kUnwritten);
    if (length > 0) {
      const std::string written = Cut(text, length);
      expected.replace(0, written.size() + 1, written + '\0');
    }
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), expected) << "text \"" << text << "\", length " << length;
  }

  void Mode(Tracked& tracked) {
    void* object = tracked.instance->FilterObject();
    *plugin_.ViewMode(object) = random_.Pick(std::vector<int32_t>{0, 0, 1, 1, 2, 2, 3, -1, INT32_MAX, INT32_MIN});
    if (random_.Chance(50)) *plugin_.ReinitPending(object) = true;  // the dialog marks a mode change
  }

  void Negotiate(Tracked& tracked) {
    const int32_t expected = PixelFormatOf(source_->Format()) < 0 ? -1 : plugin_.runFlags();
    destination_->bitmap.frameAttributes = 0;
    EXPECT_EQ(Bind(tracked).GetParams(), expected) << "format " << source_->Format();
    if (expected < 0) {
      EXPECT_EQ(destination_->bitmap.frameAttributes, 0u);
      return;
    }
    EXPECT_EQ(destination_->bitmap.frameAttributes, source_->bitmap.frameAttributes);
    tracked.pixelFormat = PixelFormatOf(source_->Format());
  }

  void Start(Tracked& tracked) {
    Instance& instance = Bind(tracked);
    const bool accelerated = random_.Chance(10);
    instance.activation.acceleratorContext = accelerated ? random_.Next() | 1 : 0;
    EXPECT_EQ(instance.Start(), 0);
    instance.activation.acceleratorContext = 0;
    if (accelerated) return;  // the accelerated start does nothing
    tracked.streaming = true;
    tracked.startWidth = source_->Width();
    tracked.startHeight = source_->Height();
    tracked.startPixelFormat = tracked.pixelFormat;
    tracked.graphSinkFormat = tracked.pixelFormat;
    tracked.streamStale = true;
  }

  void End(Tracked& tracked) {
    Instance& instance = Bind(tracked);
    const bool accelerated = random_.Chance(10);
    instance.activation.acceleratorContext = accelerated ? random_.Next() | 1 : 0;
    EXPECT_EQ(instance.End(), 0);
    instance.activation.acceleratorContext = 0;
    if (accelerated) return;
    tracked.streaming = false;
    EXPECT_FALSE(plugin_.GraphReady(instance.FilterObject()));
  }

  void Configure(Tracked& tracked) {
    Instance& instance = Bind(tracked);
    portable::DialogStandIn& dialog = portable::Dialog();
    dialog.edits.clear();
    for (int edits = random_.Between(0, 3); edits > 0; --edits) {
      const std::size_t index = random_.Next() % plugin_.scriptArguments;
      dialog.edits.emplace_back(index, AnyArgument(index));
    }
    dialog.ok = random_.Chance(50);
    // The preview renders the current frame after every edit.
    instance.preview.onRedoFrame = [this, &tracked] { Run(tracked); };
    EXPECT_EQ(instance.Configure(nullptr), dialog.ok ? 0 : 1);
    instance.preview.onRedoFrame = nullptr;
    if (dialog.ok)
      for (const auto& [index, value] : dialog.edits) tracked.values[index] = value;
    tracked.values = plugin_.StoredScriptValues(tracked.values);
    CheckValues(tracked);
  }

  void Misc(Tracked& tracked) {
    Instance& instance = Bind(tracked);
    uint8_t state[16];
    std::fill(std::begin(state), std::end(state), 0x77);
    EXPECT_EQ(instance.SaveState(state, random_.Pick(std::vector<int32_t>{INT32_MIN, -1, 0, 16})), 0);
    EXPECT_EQ(instance.LoadState(state, random_.Pick(std::vector<int32_t>{INT32_MIN, -1, 0, 16})), 0);
    EXPECT_TRUE(std::all_of(std::begin(state), std::end(state), [](uint8_t byte) { return byte == 0x77; }));
    const auto code = static_cast<uint32_t>(random_.Any32());
    EXPECT_EQ(instance.Event(code), code == 1 && plugin_.traits.cacheEventMarksChanged);
    EXPECT_EQ(instance.Event(1), plugin_.traits.cacheEventMarksChanged);
    instance.AccelRun();
  }

  void CheckValues(Tracked& tracked) {
    EXPECT_EQ(plugin_.ScriptValues(tracked.instance->FilterObject()), tracked.values);
  }

  // --- One frame ---------------------------------------------------------------

  enum class Expect { kSource, kFiltered, kDifference, kUnchanged };

  struct Area {
    int rows[3] = {0, 0, 0};
    int bytes[3] = {0, 0, 0};
  };
  static Area AreaOf(int rows, int bytes, bool halveChroma) {
    Area area;
    if (rows <= 0 || bytes <= 0) return area;
    for (int plane = 0; plane < 3; ++plane) {
      const bool halve = plane > 0 && halveChroma;
      area.rows[plane] = halve ? (rows + 1) / 2 : rows;
      area.bytes[plane] = halve ? (bytes + 1) / 2 : bytes;
    }
    return area;
  }

  void Run(Tracked& tracked) {
    Instance& instance = Bind(tracked);
    void* object = instance.FilterObject();
    const int32_t viewMode = *plugin_.ViewMode(object);
    const std::string options = plugin_.OptionString(object);
    const bool pitchesFit = source_->pixmap.pitch >= INT_MIN && source_->pixmap.pitch <= INT_MAX;
    const bool sameShape = tracked.streaming && source_->Width() == tracked.startWidth &&
                           source_->Height() == tracked.startHeight &&
                           PixelFormatOf(source_->Format()) == tracked.startPixelFormat && pitchesFit;
    // A picture the filter cannot take gets no graph, as a failed build.
    const bool filterable = plugin_.FiltersPicture(tracked.startWidth, tracked.startHeight, tracked.startPixelFormat);

    // A pending change rebuilds the graph, with the sink formats of the
    // latest negotiation, before anything else.
    const bool pending = tracked.streaming && *plugin_.ReinitPending(object);
    if (pending) tracked.graphSinkFormat = tracked.pixelFormat;
    const bool lagging = plugin_.traits.lagFrames > 0;
    if (lagging && (pending || (tracked.streaming && tracked.streamStale))) {
      tracked.stream->Rebuild(tracked.startWidth, tracked.startHeight, tracked.startPixelFormat,
                              tracked.graphSinkFormat, plugin_.filterName, options);
      tracked.streamStale = false;
    }

    ReferenceResult reference;
    Expect expect = Expect::kSource;
    if (viewMode != 1 && sameShape && filterable) {
      reference = lagging ? tracked.stream->Filter(*source_, tracked.startPixelFormat)
                          : FilterBare(*source_, tracked.startPixelFormat, tracked.graphSinkFormat,
                                       plugin_.filterName, options);
      if (!reference.graphBuilt || reference.waiting)
        expect = Expect::kSource;
      else if (!reference.picture || reference.picture->pixelFormat != tracked.startPixelFormat)
        expect = Expect::kUnchanged;  // nothing came out, or nothing that fits the host's planes
      else
        expect = viewMode == 2 ? Expect::kDifference : Expect::kFiltered;
    }

    destination_->FillPattern(static_cast<uint32_t>(random_.Next()));
    const std::vector<uint8_t> sourceBefore = source_->RawBytes();
    std::vector<uint8_t> old[3];
    for (int plane = 0; plane < 3; ++plane) old[plane] = destination_->PlaneBytes(plane);

    EXPECT_EQ(instance.Run(), 0);
    ++totals.runs;
    ++totals.outcomes[static_cast<int>(expect)];
    if (source_->Width() >= 1920) ++totals.bigRuns;

    SCOPED_TRACE(fmt::format("run: {}x{} format {} padding/bottom-up into {}x{}, view mode {}, options \"{}\"",
                             source_->Width(), source_->Height(), source_->Format(), destination_->Width(),
                             destination_->Height(), viewMode, options));
    if (viewMode != 1 && sameShape) {
      EXPECT_EQ(plugin_.GraphReady(object), reference.graphBuilt) << "graph state differs from a bare build";
    }
    EXPECT_TRUE(source_->GuardsIntact()) << "written around the source";
    EXPECT_TRUE(source_->RawBytes() == sourceBefore) << "source changed";
    EXPECT_TRUE(destination_->GuardsIntact()) << "written outside the destination's rows";
    CheckDestination(expect, reference, old);
  }

  void CheckDestination(Expect expect, const ReferenceResult& reference, const std::vector<uint8_t> (&old)[3]) {
    const Picture& source = *source_;
    const Picture& destination = *destination_;
    const FilteredPicture* filtered = reference.picture ? &*reference.picture : nullptr;
    Area area;
    switch (expect) {
      case Expect::kSource:
        area = AreaOf(std::min(source.Height(), destination.Height()), std::min(source.Width(), destination.Width()),
                      Is420Code(source.Format()));
        break;
      case Expect::kFiltered:
        area = AreaOf(std::min(filtered->height, destination.Height()), std::min(filtered->width, destination.Width()),
                      filtered->pixelFormat == 0);
        break;
      case Expect::kDifference:
        area = AreaOf(std::min({source.Height(), destination.Height(), filtered->height}),
                      std::min({source.Width(), destination.Width(), filtered->width}), filtered->pixelFormat == 0);
        break;
      case Expect::kUnchanged:
        break;
    }
    // A bitmap in a format no plug-in takes has planes of unknown size: it is
    // neither read nor written.
    if (PixelFormatOf(destination.Format()) < 0 || (expect == Expect::kSource && PixelFormatOf(source.Format()) < 0))
      area = Area{};
    for (int plane = 0; plane < 3; ++plane) {
      const int width = std::max(destination.PlaneWidth(plane), 0);
      for (int y = 0; y < std::max(destination.PlaneHeight(plane), 0); ++y) {
        const uint8_t* row = destination.Row(plane, y);
        for (int x = 0; x < width; ++x) {
          uint8_t expected = old[plane][static_cast<std::size_t>(y) * width + x];
          const bool inArea = y < area.rows[plane] && x < area.bytes[plane];
          if (inArea) {
            const uint8_t original = source.Row(plane, y)[x];
            if (expect == Expect::kSource) expected = original;
            if (expect == Expect::kFiltered) expected = filtered->At(plane, y, x);
            if (expect == Expect::kDifference) expected = original == filtered->At(plane, y, x) ? original : 0;
          }
          if (row[x] != expected) {
            ADD_FAILURE() << "destination plane " << plane << " row " << y << " column " << x << ": "
                          << int(row[x]) << ", expected " << int(expected) << " ("
                          << (expect == Expect::kSource     ? "source"
                              : expect == Expect::kFiltered ? "filtered"
                              : expect == Expect::kUnchanged ? "old content"
                                                             : "difference")
                          << ")";
            return;
          }
        }
      }
    }
  }

  Random random_;
  const Profile& profile_;
  const PluginUnderTest& plugin_;
  std::unique_ptr<Picture> source_, destination_;
  std::vector<Tracked> live_;
};

// --- Seeds ----------------------------------------------------------------------------

std::vector<uint64_t> Seeds() {
  if (const char* one = std::getenv("TARVU_HOSTILE_SEED")) return {std::strtoull(one, nullptr, 0)};
  const char* count = std::getenv("TARVU_HOSTILE_SEEDS");
  const int seeds = count ? std::atoi(count) : 6;
  std::vector<uint64_t> list;
  for (int i = 1; i <= seeds; ++i) list.push_back(static_cast<uint64_t>(i) * 7919);
  return list;
}

constexpr int kCasesPerSeed = 8;

void PlayAll(const Profile& profile, const char* testName) {
  const long before = totals.cases;
  for (uint64_t seed : Seeds()) {
    for (int index = 0; index < kCasesPerSeed; ++index) {
      const uint64_t caseSeed = seed * 1000 + static_cast<uint64_t>(index);
      SCOPED_TRACE(fmt::format("{} case, replay: TARVU_HOSTILE_SEED={} {} --gtest_filter=*{}", profile.name, seed,
                               ThePlugin().name, testName));
      Sequence(caseSeed, profile).Play();
      ++totals.cases;
      if (::testing::Test::HasFailure()) return;
    }
  }
  ReleaseReferenceGraph();
  std::printf("%s, %s: %ld cases\n", ThePlugin().name, profile.name, totals.cases - before);
}

TEST(Hostile, ScriptCallsAndTextsAmidRuns) { PlayAll(kScriptsAndTexts, "ScriptCallsAndTextsAmidRuns"); }
TEST(Hostile, PicturesOfEveryShape) { PlayAll(kPictureShapes, "PicturesOfEveryShape"); }
TEST(Hostile, LifecyclesInAnyOrder) { PlayAll(kLifecycles, "LifecyclesInAnyOrder"); }

class Summary : public ::testing::Environment {
 public:
  void TearDown() override {
    std::printf(
        "%s hostile: %ld cases, %ld operations, %ld runs (source %ld, filtered %ld, difference %ld, unchanged %ld; "
        "%ld at 1080p or 4K)\n",
        ThePlugin().name, totals.cases, totals.operations, totals.runs, totals.outcomes[0], totals.outcomes[1],
        totals.outcomes[2], totals.outcomes[3], totals.bigRuns);
  }
};
const auto* const kSummary = ::testing::AddGlobalTestEnvironment(new Summary);

}  // namespace
}  // namespace hostile

namespace hostile {
namespace {

// A negotiation in another format while streaming, then a settings change:
// the rebuilt graph must still deliver the picture the destination holds.
TEST(Hostile, RenegotiationWhileStreamingNeverOverrunsTheDestination) {
  Picture source(64, 48, 15), other(64, 48, 13), destination(64, 48, 15);
  source.FillBlocks(3, 8);
  Instance instance(*ThePlugin().definition, source, destination);
  ASSERT_EQ(instance.Init(), 0);
  ASSERT_EQ(instance.GetParams(), ThePlugin().runFlags());
  instance.Start();
  instance.SetPictures(other, destination);
  ASSERT_EQ(instance.GetParams(), ThePlugin().runFlags());
  instance.Script(ThePlugin().DefaultScriptValues(), static_cast<int32_t>(ThePlugin().scriptArguments));
  instance.SetPictures(source, destination);
  for (int32_t call = 0; call < ThePlugin().traits.lagFrames; ++call) instance.Run();  // the source, while it fills
  destination.FillPattern(9);
  const std::vector<uint8_t> before = destination.RawBytes();
  instance.Run();
  EXPECT_TRUE(destination.GuardsIntact());
  EXPECT_TRUE(destination.RawBytes() == before) << "a converted frame was copied";
  instance.End();
}

}  // namespace
}  // namespace hostile

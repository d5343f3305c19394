// _ondrix: the engine for Python. Rows are numpy uint8 arrays of the
// files' cell bytes; results are the tool's JSON as Python objects. Long
// calls run on a thread of their own while the caller waits without the
// GIL, so that Ctrl-C and a progress callback are heard in the caller.
#include <pybind11/numpy.h>
#include <pybind11/operators.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <filesystem>
#include <limits>

#include "ondrix/automaton/automaton.h"
#include "ondrix/automaton/poll.h"
#include "ondrix/automaton/random.h"
#include "ondrix/automaton/reversal.h"
#include "ondrix/automaton/workers.h"
#include "ondrix/datafiles/files.h"
#include "ondrix/datafiles/rowfiles.h"
#include "ondrix/datafiles/rulefiles.h"
#include "ondrix/datafiles/sha256.h"
#include "ondrix/datafiles/textformats.h"
#include "ondrix/mainwindow/spacetime.h"
#include "ondrix/rules/randomrule.h"
#include "ondrix/solitons/anywidth.h"
#include "ondrix/solitons/enumerate.h"
#include "ondrix/solitons/search.h"
#include "ondrix/solitons/shipdata.h"
#include "ondrix/solitons/survey.h"
#include "tool/inputs.h"
#include "tool/provenance.h"
#include "tool/reports.h"

namespace py = pybind11;
using namespace ondrix;
using tool::json;

namespace {

using Row = py::array_t<std::uint8_t, py::array::c_style>;

// ---- long work -------------------------------------------------------------

// Runs work(poll) on a thread while the caller waits with the GIL
// released. Every 50 ms the caller takes the GIL back: a pending signal
// (Ctrl-C) or an exception from `progress` cancels the poll, and once the
// work has stopped it is raised here; `progress(done, total)` hears the
// work's last report.
template <class Result>
Result runLong(const py::object& progress, const std::function<Result(Poll&)>& work) {
  std::atomic<std::int64_t> done{-1}, total{0};
  Poll poll([&](std::int64_t d, std::int64_t t) {
    total.store(t, std::memory_order_relaxed);
    done.store(d, std::memory_order_release);
  });
  std::optional<Result> result;
  std::exception_ptr failure;
  std::mutex mutex;
  std::condition_variable over;
  bool finished = false;
  std::optional<py::error_already_set> raised;
  std::thread worker;
  {
    py::gil_scoped_release free;
    worker = std::thread([&] {
      try {
        result.emplace(work(poll));
      } catch (...) {
        failure = std::current_exception();
      }
      const std::lock_guard lock(mutex);
      finished = true;
      over.notify_all();
    });
  }
  std::int64_t shown = -1;
  for (;;) {
    bool ended = false;
    {
      py::gil_scoped_release free;
      std::unique_lock lock(mutex);
      ended = over.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished; });
    }
    if (ended) break;
    if (raised) continue;
    if (PyErr_CheckSignals() != 0) {
      raised.emplace();
      poll.cancel();
      continue;
    }
    const std::int64_t now = done.load(std::memory_order_acquire);
    if (!progress.is_none() && now >= 0 && now != shown) {
      shown = now;
      try {
        progress(now, total.load(std::memory_order_relaxed));
      } catch (py::error_already_set& e) {
        raised.emplace(std::move(e));
        poll.cancel();
      }
    }
  }
  {
    py::gil_scoped_release free;
    worker.join();
  }
  if (raised) throw std::move(*raised);
  if (failure) std::rethrow_exception(failure);
  const std::int64_t now = done.load(std::memory_order_acquire);
  if (!progress.is_none() && now >= 0 && now != shown) progress(now, total.load());
  return std::move(*result);
}

// ---- conversions ----------------------------------------------------------

// The most generations a call runs: a readable bound that no product with a
// ring's cells overflows.
constexpr std::int64_t maxSteps = 1'000'000'000'000'000;

// An argument that must be a whole number in least..most (a Python or numpy
// integer, not a bool), or ValueError naming it.
std::int64_t whole(const py::handle& v, const std::string& name, std::int64_t least, std::int64_t most) {
  const auto refuse = [&] {
    std::string given = py::repr(v).cast<std::string>();
    if (given.size() > 60) given = given.substr(0, 57) + "...";
    throw py::value_error(name + " must be a whole number from " + std::to_string(least) + " to " +
                          std::to_string(most) + ", not " + given);
  };
  if (py::isinstance<py::bool_>(v)) refuse();
  PyObject* index = PyNumber_Index(v.ptr());
  if (!index) {
    PyErr_Clear();
    refuse();
  }
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(index, &overflow);
  Py_DECREF(index);
  if (overflow || n < least || n > most) refuse();
  return n;
}

bool flag(const py::handle& v, const std::string& name) {
  if (PyBool_Check(v.ptr())) return v.ptr() == Py_True;
  if (!py::isinstance<py::bool_>(v) && !py::isinstance(v, py::module_::import("numpy").attr("bool_"))) {
    throw py::value_error(name + " is True or False, not " + py::repr(v).cast<std::string>());
  }
  return v.cast<bool>();
}

std::string typeName(const py::handle& v) { return py::str(py::type::of(v).attr("__name__")).cast<std::string>(); }

py::object toPython(const json& j) { return py::module_::import("json").attr("loads")(j.dump()); }

json fromPython(const py::handle& o) {
  return json::parse(py::module_::import("json").attr("dumps")(o).cast<std::string>());
}

std::string pathOf(const py::handle& o) { return py::module_::import("os").attr("fspath")(o).cast<std::string>(); }

bool isPath(const py::handle& o) {
  return py::isinstance<py::str>(o) || py::hasattr(o, "__fspath__");
}

// Cells given as anything numpy reads as whole numbers 0, 1 and 2: a row
// (one dimension) or a space-time diagram (generations, cells).
Row asCells(const py::handle& given, bool diagram) {
  // A row of bytes in order, the usual case, is only checked.
  if (py::isinstance<Row>(given) && py::reinterpret_borrow<py::array>(given).ndim() == 1) {
    Row cells = py::reinterpret_borrow<Row>(given);
    const py::ssize_t length = cells.size();
    if (length >= 1 && length <= ringCapacity &&
        std::all_of(cells.data(), cells.data() + length, [](std::uint8_t c) { return c <= stateA; })) {
      return cells;
    }
  }
  if (py::isinstance<py::str>(given) || py::isinstance<py::bytes>(given) || py::hasattr(given, "__fspath__")) {
    throw py::value_error(std::string(diagram ? "a space-time diagram" : "a row") +
                          " is an array of cells 0, 1 and 2, not a " + typeName(given) +
                          ": from_letters() makes one from letters, read_row() from a file");
  }
  py::array a = py::module_::import("numpy").attr("asarray")(given);
  if (a.ndim() != 1 && !(diagram && a.ndim() == 2)) {
    throw py::value_error(std::string(diagram ? "a space-time diagram has two dimensions (generations, cells)"
                                              : "a row has one dimension") +
                          ", this array " + std::to_string(a.ndim()));
  }
  const py::ssize_t length = a.shape(a.ndim() - 1);
  if (length < 1 || length > ringCapacity) {
    throw py::value_error("a row holds 1 to 7680 cells, this one " + std::to_string(length));
  }
  const char kind = a.dtype().kind();
  if (kind != 'u' && kind != 'i' && kind != 'b') {
    throw py::value_error("cells are whole numbers 0, 1 and 2 (C, B, A), not " + py::str(a.dtype()).cast<std::string>());
  }
  const auto refuse = [&](py::ssize_t i, std::int64_t value) {
    throw py::value_error((a.ndim() == 2 ? "generation " + std::to_string(i / length) + ", " : std::string()) + "cell " +
                          std::to_string(i % length) + " holds " + std::to_string(value) + ", not a state 0, 1 or 2");
  };
  // Bytes in order are taken as they are (copied only by the caller that
  // changes them); anything else is converted.
  if (py::isinstance<Row>(a)) {
    Row cells = py::reinterpret_borrow<Row>(a);
    const auto* in = cells.data();
    for (py::ssize_t i = 0; i < cells.size(); ++i) {
      if (in[i] > stateA) refuse(i, in[i]);
    }
    return cells;
  }
  py::array_t<std::int64_t, py::array::c_style | py::array::forcecast> wide(a);
  Row cells(std::vector<py::ssize_t>(a.shape(), a.shape() + a.ndim()));
  auto* out = cells.mutable_data();
  const auto* in = wide.data();
  for (py::ssize_t i = 0; i < a.size(); ++i) {
    if (in[i] < 0 || in[i] > stateA) refuse(i, in[i]);
    out[i] = static_cast<std::uint8_t>(in[i]);
  }
  return cells;
}

Row asRow(const py::handle& given) { return asCells(given, false); }

std::unique_ptr<AutomatonState> ringOf(const RuleTable& rule, const Row& row) {
  auto ring = std::make_unique<AutomatonState>();
  ring->ringLength = static_cast<std::int32_t>(row.size());
  ring->ruleTable = rule;
  std::copy_n(row.data(), row.size(), ring->cells.begin());
  std::fill(ring->cells.begin() + row.size(), ring->cells.end(), stateA);
  return ring;
}

Row cellsOf(const AutomatonState& ring) {
  Row out(ring.ringLength);
  std::copy_n(ring.cells.begin(), ring.ringLength, out.mutable_data());
  return out;
}

void throwWrite(const WriteOutcome& written) {
  if (!written) {
    PyErr_SetString(PyExc_OSError, ("cannot write " + written.failure).c_str());
    throw py::error_already_set();
  }
}

// ---- Rule and Catalogue ---------------------------------------------------

struct Rule {
  RuleTable table{};
  bool operator==(const Rule&) const = default;
};

Rule ruleFromEntries(const py::handle& given) {
  py::array a = py::module_::import("numpy").attr("asarray")(
      py::isinstance<py::bytes>(given) || py::isinstance<py::bytearray>(given)
          ? py::module_::import("numpy").attr("frombuffer")(given, "uint8")
          : py::reinterpret_borrow<py::object>(given));
  const char kind = a.dtype().kind();
  if (a.ndim() != 1 || (a.size() != ruleHalfSize && a.size() != ruleTableSize) ||
      (kind != 'u' && kind != 'i' && kind != 'b')) {
    throw py::value_error("a rule is 81 or 162 whole numbers, a file of 162 bytes or 81 or 162 digits");
  }
  py::array_t<std::int64_t, py::array::c_style | py::array::forcecast> wide(a);
  Rule r;
  for (py::ssize_t k = 0; k < a.size(); ++k) {
    const std::int64_t v = wide.data()[k];
    if (v < 0 || v > 255) throw py::value_error("rule entry " + std::to_string(k) + " is " + std::to_string(v) + ", not a byte");
    r.table[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v);
  }
  return r;
}

struct PyCatalogue {
  std::shared_ptr<Catalogue> c = std::make_shared<Catalogue>();
  std::optional<RuleTable> rule;  // the rule it was read or made under, when given
};

Rule ruleOf(const py::handle& given) {
  if (py::isinstance<Rule>(given)) return given.cast<Rule>();
  if (py::isinstance<py::str>(given)) {
    // Digits as a text file holds them, with a line end.
    const std::string text = given.cast<std::string>();
    const auto first = text.find_first_not_of(" \t\r\n"), last = text.find_last_not_of(" \t\r\n");
    if (first != std::string::npos && looksLikeRuleText(std::string_view(text).substr(first, last - first + 1))) {
      return Rule{parseRuleText(std::string_view(text).substr(first, last - first + 1))};
    }
  }
  if (isPath(given)) return Rule{tool::readRule(pathOf(given))};
  if (py::isinstance<PyCatalogue>(given)) throw py::value_error("a rule is wanted here, not a Catalogue");
  return ruleFromEntries(given);
}

std::string ruleDigits(const RuleTable& rule) {
  const json j = tool::ruleJson(rule);
  return j.is_string() ? j.get<std::string>() : j.dump();
}


PyCatalogue catalogueOf(const py::handle& given, const Rule* rule) {
  if (py::isinstance<PyCatalogue>(given)) return given.cast<PyCatalogue>();
  PyCatalogue out;
  if (rule) out.rule = rule->table;
  if (!isPath(given) && (py::isinstance<Rule>(given) || !py::hasattr(given, "__iter__"))) {
    throw py::value_error("a catalogue is a soliton file, its JSON or a list of types, not a " + typeName(given));
  }
  if (isPath(given)) {
    *out.c = tool::readCatalogue(pathOf(given), rule ? &rule->table : nullptr);
    return out;
  }
  // Types as dicts with code, period and shift (the results' entries) or as
  // (code, period, shift).
  const py::list types = py::module_::import("builtins").attr("list")(given);
  if (types.size() > static_cast<std::size_t>(catalogueTypes)) {
    throw py::value_error("a catalogue holds twelve types, not " + std::to_string(types.size()));
  }
  out.c->Nsol = catalogueTypes;
  for (std::size_t k = 0; k < types.size(); ++k) {
    const py::handle t = types[k];
    const bool keyed = py::isinstance<py::dict>(t);
    if (!keyed && !((py::isinstance<py::tuple>(t) || py::isinstance<py::list>(t)) && py::len(t) == 3)) {
      throw py::value_error("type " + std::to_string(k) + ": a dict with code, period and shift or a (code, period, shift), not " +
                            py::repr(t).cast<std::string>());
    }
    const auto field = [&](const char* key, int at) {
      if (keyed && !t.contains(key)) throw py::value_error("type " + std::to_string(k) + " has no \"" + key + "\"");
      return static_cast<std::int32_t>(whole(keyed ? t[key] : t[py::int_(at)],
                                             "type " + std::to_string(k) + "'s " + key, INT32_MIN, INT32_MAX));
    };
    out.c->solitonCode[k] = field("code", 0);
    out.c->solitonPeriod[k] = field("period", 1);
    out.c->solitonShift[k] = field("shift", 2);
  }
  return out;
}

// Built on a ring of at least the start-up length, which has room for every
// type's phases whatever the width of the diagram.
PhaseTables tablesOf(const RuleTable& rule, const Catalogue& c, std::int32_t length) {
  auto scratch = std::make_unique<AutomatonState>(quietRing(rule, std::max(length, startupRingLength)));
  return solitonPhaseTables(*scratch, c);
}

// The marks of a diagram's cells (tagSpaceTime), with the catalogue's
// solitons when one is given.
Row tagDiagram(const Rule& r, const Row& cells, const py::object& catalogue) {
  const auto length = static_cast<std::int32_t>(cells.shape(cells.ndim() - 1));
  std::optional<PhaseTables> tables;
  if (!catalogue.is_none()) tables = tablesOf(r.table, *catalogueOf(catalogue, &r).c, length);
  Row marks(std::vector<py::ssize_t>(cells.shape(), cells.shape() + cells.ndim()));
  const std::span<const std::uint8_t> in(cells.data(), static_cast<std::size_t>(cells.size()));
  const std::span<std::uint8_t> out(marks.mutable_data(), static_cast<std::size_t>(marks.size()));
  runLong<bool>(py::none(), [&](Poll& poll) {
    return tagSpaceTime(r.table, in, length, tables ? &*tables : nullptr, out, &poll), true;
  });
  return marks;
}

SpaceTimePalette paletteOf(const py::handle& name) {
  const std::string given = py::str(name);
  if (given == "window") return SpaceTimePalette::window;
  if (given == "research") return SpaceTimePalette::research;
  throw py::value_error("the palette is \"window\" or \"research\", not " + given);
}

int threadsOf(const py::handle& threads) { return static_cast<int>(whole(threads, "threads (0: one per processor)", 0, 1024)); }

std::pair<int, int> shardOf(const py::object& shard) {
  if (shard.is_none()) return {0, 1};
  const auto bad = [&] {
    throw py::value_error("shard must be (i, n) with 0 <= i < n, not " + py::repr(shard).cast<std::string>());
  };
  if (!py::isinstance<py::tuple>(shard) && !py::isinstance<py::list>(shard)) bad();
  const py::sequence s = shard;
  if (s.size() != 2) bad();
  const auto n = static_cast<int>(whole(s[1], "the shard count n", 1, std::numeric_limits<int>::max()));
  const auto i = static_cast<int>(whole(s[0], "the shard index i", 0, n - 1));
  return {i, n};
}

// Refuses, before the work, an array larger than this machine's memory.
void requireMemory(std::uint64_t bytes) {
  const std::uint64_t memory = physicalMemory();
  if (memory > 0 && bytes > memory) {
    PyErr_SetString(PyExc_MemoryError, ("a diagram of " + std::to_string(bytes / 1000000) + " MB is more than this machine's " +
                                        std::to_string(memory / 1000000) + " MB of memory: fewer steps, or a slice at a time")
                                           .c_str());
    throw py::error_already_set();
  }
}

}  // namespace

PYBIND11_MODULE(_ondrix, m) {
  m.doc() = "The Ondrix engine: a reversible three-state cellular automaton on a ring.";
  m.attr("__version__") = ONDRIX_VERSION;
  m.attr("A") = stateA;
  m.attr("B") = stateB;
  m.attr("C") = stateC;
  m.attr("MARK_N") = markN;
  m.attr("MARK_O") = markO;
  m.attr("MARK_P") = markP;
  m.attr("RING_CAPACITY") = ringCapacity;

  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const tool::ToolError& e) {
      PyErr_SetString(e.io ? PyExc_OSError : PyExc_ValueError, e.what());
    } catch (const std::invalid_argument& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    } catch (const Cancelled&) {
      PyErr_SetNone(PyExc_KeyboardInterrupt);
    }
  });

  py::class_<Rule>(m, "Rule", R"(A rule table: the 81 entries the step reads and the 81 the file keeps after them.

Rule(source): a rule file's path, a string of 81 or 162 digits, or 81 or
162 entries (bytes, a list, a numpy array).)")
      .def(py::init([](const py::object& source) { return ruleOf(source); }), py::arg("source"))
      .def_static(
          "random",
          [](const py::object& variant, const py::object& threshold, const py::object& seed) {
            RandomVariant v = RandomVariant::all;
            const std::string name = py::str(variant);
            if (name == "random" || name == "0") v = RandomVariant::all;
            else if (name == "random*" || name == "1") v = RandomVariant::noDistanceFour;
            else if (name == "random**" || name == "2") v = RandomVariant::noDistanceThreeAndFour;
            else throw py::value_error("the variant is \"random\", \"random*\" or \"random**\" (or 0, 1, 2), not " + name);
            const std::int16_t t = threshold.is_none() ? RandomRuleSettings{}.randomThreshold
                                                       : thresholdFromPercent(static_cast<std::int32_t>(whole(threshold, "threshold", 0, 100)));
            RandomGenerator g = seed.is_none() ? startupRandomGenerator()
                                               : RandomGenerator(static_cast<std::uint32_t>(whole(seed, "seed", 0, UINT32_MAX)));
            Rule r;
            randomiseRuleTable(r.table, g, t, v);
            return r;
          },
          py::arg("variant") = "random", py::arg("threshold") = py::none(), py::arg("seed") = py::none(),
          R"(A random table as the window's "Ch. random", "Ch. random*" or "Ch. random**" draws it.

threshold: percent 0..100, as the "Thr." field: an entry is 1 where a draw
of 0..32767 exceeds threshold x 357.68 kept in 16 bits, so from 92 up the
stored threshold is negative and every entry is 1, as in the window; None:
the threshold of a fresh window (16380, about half the entries).
seed: of the generator (0..2**32-1); None: the generator as a fresh window
has it, so Rule.random() is the table a fresh window's first "Mk.random"
draws.)")
      .def("to_string", [](const Rule& r) { return ruleText(r.table); }, "The rule as 81 digits (162 when its second half is not 0).")
      .def("save", [](const Rule& r, const py::object& path) { throwWrite(writeTableFile(pathOf(path), r.table)); },
           py::arg("path"), "Writes the rule file: 162 bytes.")
      .def_property_readonly("table", [](const Rule& r) {
        py::array_t<std::uint8_t> a(ruleTableSize);
        std::copy(r.table.begin(), r.table.end(), a.mutable_data());
        return a;
      })
      .def_property_readonly("sha256", [](const Rule& r) { return sha256Hex(r.table); })
      .def(py::self == py::self)
      .def("__hash__", [](const Rule& r) { return py::hash(py::bytes(reinterpret_cast<const char*>(r.table.data()), r.table.size())); })
      .def("__repr__", [](const Rule& r) {
        const json j = tool::ruleJson(r.table);
        return "ondrix.Rule(" + (j.is_string() ? "'" + j.get<std::string>() + "'" : j.dump()) + ")";
      })
      .def(py::pickle([](const Rule& r) { return py::bytes(reinterpret_cast<const char*>(r.table.data()), r.table.size()); },
                      [](const py::bytes& b) { return ruleFromEntries(b); }));

  py::class_<PyCatalogue>(m, "Catalogue", R"(The twelve catalogued soliton types.

Catalogue(source, rule=None): a soliton file (Sol.dat) or its JSON, or up
to twelve types as dicts with code, period and shift (an enumeration's
solitons) or as (code, period, shift). A JSON catalogue made under another
rule than `rule` is refused.)")
      .def(py::init([](const py::object& source, const py::object& rule) {
             const std::optional<Rule> r = rule.is_none() ? std::nullopt : std::optional<Rule>(ruleOf(rule));
             return catalogueOf(source, r ? &*r : nullptr);
           }),
           py::arg("source"), py::arg("rule") = py::none())
      .def_property_readonly("types", [](const PyCatalogue& c) { return toPython(tool::catalogueJson(*c.c)["types"]); })
      .def("__len__", [](const PyCatalogue&) { return catalogueTypes; })
      .def("__getitem__", [](const PyCatalogue& c, int k) {
        if (k < 0) k += catalogueTypes;
        if (k < 0 || k >= catalogueTypes) throw py::index_error("a catalogue has types 0 to 11");
        return toPython(tool::catalogueJson(*c.c)["types"][static_cast<std::size_t>(k)]);
      })
      .def("save", [](const PyCatalogue& c, const py::object& path) {
             const std::string name = pathOf(path);
             tool::Provenance made("catalogue");
             if (c.rule) made.rule(*c.rule);
             throwWrite(writeWhole(name, tool::catalogueBytes(*c.c, name, made.record())));
           }, py::arg("path"), "Writes the soliton file the window reads, or JSON when the name ends in .json.")
      .def("__eq__", [](const PyCatalogue& a, const PyCatalogue& b) { return catalogueImage(*a.c) == catalogueImage(*b.c); })
      .def("__repr__", [](const PyCatalogue& c) {
        std::string codes;
        for (int k = 0; k < catalogueTypes; ++k) codes += (k ? ", " : "") + std::to_string(c.c->solitonCode[k]);
        return "<ondrix.Catalogue of 12 types, codes " + codes + ">";
      })
      .def(py::pickle([](const PyCatalogue& c) {
                        const auto image = catalogueImage(*c.c);
                        return py::bytes(reinterpret_cast<const char*>(image.data()), image.size());
                      },
                      [](const py::bytes& b) {
                        const std::string s = b;
                        PyCatalogue c;
                        applyCatalogueImage(*c.c, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
                        return c;
                      }));

  // ---- rows ----

  m.def("from_letters", [](const py::object& given, const py::object& size, const py::object& place) {
         if (!py::isinstance<py::str>(given)) {
           throw py::value_error("letters are a str such as \"BCAAB\", not a " + typeName(given));
         }
         const std::string letters = given.cast<std::string>();
         const auto length = static_cast<std::int32_t>(whole(size, "length", 1, ringCapacity));
         const auto at = static_cast<std::int32_t>(whole(place, "at", 0, ringCapacity - 1));
         if (at != 0 && letters.find_first_of("@+") != std::string::npos) {
           throw py::value_error("give the cell either as at= or with @ in the letters, not both");
         }
         Row out(length);
         std::fill_n(out.mutable_data(), length, stateA);
         if (letters.empty()) return out;  // the quiet ring
         const std::string text = at == 0 ? letters : letters + "@" + std::to_string(at);
         const auto cells = parseRowText(text, length);
         std::copy(cells.begin(), cells.end(), out.mutable_data());
         return out;
       }, py::arg("letters"), py::arg("length") = startupRingLength, py::arg("at") = 0,
       R"(A row of `length` cells, A but for the letters from cell `at` (no letters: all A). The letters may
use the tool's pattern form: "A*5" for five A cells, "BCAAB@300+CB@700" for pieces.)");
  m.def("to_letters", [](const py::object& row) {
         const Row r = asRow(row);
         return rowText(std::span(r.data(), static_cast<std::size_t>(r.size())));
       }, py::arg("row"), "The row as letters, runs of four or more A as \"A*n\" (from_letters reads it back).");
  m.def("read_row", [](const py::object& path, const py::object& length, const py::object& crop) {
         const std::string name = pathOf(path);
         std::int32_t n = startupRingLength;
         if (!length.is_none()) {
           n = static_cast<std::int32_t>(whole(length, "length", 1, ringCapacity));
         } else if (std::filesystem::exists(name)) {
           const auto bytes = tool::readInput(name, static_cast<std::size_t>(ringCapacity) + 1);
           if (!bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b <= stateA; })) {
             n = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), ringCapacity));
           }
         }
         return cellsOf(tool::readRow(name, n, flag(crop, "crop"), "(a longer length, or crop=True to drop the cells past it)"));
       }, py::arg("path"), py::arg("length") = py::none(), py::arg("crop") = false,
       R"(A row file (line.dat, Exp1.dat: a byte 0, 1 or 2 per cell) or a pattern in letters,
on a ring of `length` cells (None: as many as the file holds, 768 for letters);
crop=True drops live cells past the ring instead of refusing the file.)");
  m.def("write_row", [](const py::object& path, const py::object& row) {
         const Row r = asRow(row);
         auto ring = std::make_unique<AutomatonState>(quietRing(RuleTable{}, static_cast<std::int32_t>(r.size())));
         std::copy_n(r.data(), r.size(), ring->cells.begin());
         throwWrite(writeRowFile(pathOf(path), *ring));
       }, py::arg("path"), py::arg("row"), "Writes a row file: a byte per cell.");
  m.def("reverse", [](const py::object& row) {
         const Row given = asCells(row, true);
         Row r(std::vector<py::ssize_t>(given.shape(), given.shape() + given.ndim()));
         std::transform(given.data(), given.data() + given.size(), r.mutable_data(), swapState);
         return r;
       }, py::arg("row"), "The row (or diagram) with B and C exchanged: run forward, it retraces the row's past.");

  // ---- runs ----

  m.def("run", [](const py::object& rule, const py::object& row, const py::object& count, const py::object& backward,
                  const py::object& progress) {
         const std::int64_t steps = whole(count, "steps", 0, maxSteps);
         const bool back = flag(backward, "reverse");
         const Rule r = ruleOf(rule);
         auto ring = ringOf(r.table, asRow(row));
         const auto go = [&](Poll* poll) {
           if (back) swapRing(*ring);
           runGenerations(*ring, steps, poll);
           if (back) swapRing(*ring);
         };
         // Short runs stay on this thread.
         if (steps * ring->ringLength <= 1 << 22 && progress.is_none()) {
           py::gil_scoped_release free;
           go(nullptr);
         } else {
           runLong<bool>(progress, [&](Poll& poll) { return go(&poll), true; });
         }
         return cellsOf(*ring);
       }, py::arg("rule"), py::arg("row"), py::arg("steps"), py::arg("reverse") = false, py::arg("progress") = py::none(),
       R"(The row after `steps` generations; with reverse=True, the row `steps`
generations before (run with B and C exchanged, then exchanged back).)");

  m.def("spacetime", [](const py::object& rule, const py::object& row, const py::object& count, const py::object& progress) {
         const std::int64_t steps = whole(count, "steps", 0, maxSteps);
         const Rule r = ruleOf(rule);
         auto ring = ringOf(r.table, asRow(row));
         requireMemory(static_cast<std::uint64_t>(steps + 1) * static_cast<std::uint64_t>(ring->ringLength));
         Row out({steps + 1, static_cast<std::int64_t>(ring->ringLength)});
         std::uint8_t* rows = out.mutable_data();
         runLong<bool>(progress, [&](Poll& poll) { return recordGenerations(*ring, steps, rows, &poll), true; });
         return out;
       }, py::arg("rule"), py::arg("row"), py::arg("steps"), py::arg("progress") = py::none(),
       "The generations 0..steps of the row, one per array row: shape (steps + 1, len(row)).");

  m.def("tag", [](const py::object& rule, const py::object& diagram, const py::object& catalogue) {
         return tagDiagram(ruleOf(rule), asCells(diagram, true), catalogue);
       }, py::arg("rule"), py::arg("spacetime"), py::arg("catalogue") = py::none(),
       R"(The mark of every cell as the window colours it: 0 for A, type + 1 over a
catalogued soliton it recognises, else MARK_N (C became B), MARK_O or
MARK_P (the table gave 0 or 1).)");

  m.def("render", [](const py::object& rule, const py::object& diagram, const py::object& catalogue, const py::object& name) {
         const SpaceTimePalette palette = paletteOf(name);
         const Rule r = ruleOf(rule);
         const Row cells = asCells(diagram, true);
         const Row marks = tagDiagram(r, cells, catalogue);
         std::vector<py::ssize_t> shape(cells.shape(), cells.shape() + cells.ndim());
         shape.push_back(3);
         Row rgb(shape);
         const auto colours = spaceTimePalette(palette);
         const auto* c = cells.data();
         const auto* k = marks.data();
         auto* out = rgb.mutable_data();
         for (py::ssize_t i = 0; i < cells.size(); ++i) {
           const Rgb colour = colours[spaceTimeIndex(c[i], k[i], palette)];
           out[3 * i] = colour.r;
           out[3 * i + 1] = colour.g;
           out[3 * i + 2] = colour.b;
         }
         return rgb;
       }, py::arg("rule"), py::arg("spacetime"), py::arg("catalogue") = py::none(), py::arg("palette") = "window",
       R"(The diagram as an RGB picture (uint8, one pixel per cell) in the colours of ondrix-tool render:
palette "window" (the window's) or "research" (white, B and C grey, each type its own colour).)");
  m.def("palette", [](const py::object& name) {
         py::list out;
         for (const Rgb& c : spaceTimePalette(paletteOf(name))) out.append(py::make_tuple(c.r, c.g, c.b));
         return out;
       }, py::arg("palette") = "window",
       R"(The colours of render. window: entry m for mark m (type k is mark k + 1, type 11 entry 0;
MARK_N, MARK_O, MARK_P entries 1, 2, 3), entry 12 the background. research: entries 0..11
types 0..11, 12 the background, 13 untagged B, 14 untagged C.)");

  // ---- searches ----

  m.def("search", [](const py::object& rule, const py::object& ringSize, const py::object& threadCount, const py::object& progress) {
         const Rule r = ruleOf(rule);
         const auto ring = static_cast<std::int32_t>(whole(ringSize, "ring", 88, ringCapacity));
         const auto threads = threadsOf(threadCount);
         tool::Provenance made("search", r.table);
         made.parameters() = {{"ring", ring}, {"threads", threads}};
         const SearchFindings found = runLong<SearchFindings>(progress, [&](Poll& poll) {
           SearchOptions options;
           options.threads = static_cast<unsigned>(threads);
           options.poll = &poll;
           return findSolitons(r.table, ring, options);
         });
         json out = tool::searchJson(r.table, found);
         out["provenance"] = made.record();
         return toPython(out);
       }, py::arg("rule"), py::arg("ring") = startupRingLength, py::arg("threads") = 0, py::arg("progress") = py::none(),
       "The seed search of the window: nsol, nstrun and the solitons found, as ondrix-tool search --json.");

  m.def("enumerate", [](const py::object& rule, const py::object& width, const py::object& period,
                        const py::object& threadCount, const py::object& shard, const py::object& progress) {
         const Rule r = ruleOf(rule);
         const auto maxWidth = static_cast<int>(whole(width, "max_width", 1, enumerateWidthLimit));
         const auto maxPeriod = static_cast<int>(whole(period, "max_period", 1, enumeratePeriodLimit));
         const auto threads = threadsOf(threadCount);
         const auto [index, count] = shardOf(shard);
         tool::Provenance made("enumerate", r.table);
         made.parameters() = {{"max_width", maxWidth}, {"max_period", maxPeriod}, {"threads", threads}};
         if (count > 1) made.parameters()["shard"] = {index, count};
         EnumerateOptions options;
         options.maxWidth = maxWidth;
         options.maxPeriod = maxPeriod;
         options.threads = static_cast<unsigned>(threads);
         options.shardIndex = index;
         options.shardCount = count;
         const Enumeration e = runLong<Enumeration>(progress, [&](Poll& poll) {
           options.poll = &poll;
           return enumerateSolitons(r.table, options);
         });
         json out = tool::enumerationJson(e, ruleDigits(r.table));
         out["provenance"] = made.record();
         return toPython(out);
       }, py::arg("rule"), py::arg("max_width") = 12, py::arg("max_period") = 12, py::arg("threads") = 0,
       py::arg("shard") = py::none(), py::arg("progress") = py::none(),
       R"(Every soliton up to max_width cells and max_period generations, by trying every
row, as ondrix-tool enumerate --json. shard=(i, n) runs part i of n; merge()
puts the parts together.)");

  m.def("enumerate_any_width", [](const py::object& rule, const py::object& period, const py::object& shift,
                                  const py::object& listWidth, const py::object& threadCount, const py::object& maxMemory,
                                  const py::object& progress) {
         const Rule r = ruleOf(rule);
         AnyWidthOptions options;
         options.maxPeriod = static_cast<int>(whole(period, "max_period", 1, anyWidthPeriodLimit));
         options.shift = shift.is_none() ? 0 : static_cast<int>(whole(shift, "shift", 1, 4 * options.maxPeriod));
         options.listWidth = static_cast<int>(whole(listWidth, "list_width", 1, anyWidthListLimit));
         options.threads = static_cast<unsigned>(threadsOf(threadCount));
         const auto mib = whole(maxMemory, "max_memory_mib (0: half the memory)", 0, std::int64_t{1} << 30);
         options.maxMemory = static_cast<std::uint64_t>(mib) << 20;
         tool::Provenance made("enumerate", r.table);
         made.parameters() = {{"any_width", true}, {"max_period", options.maxPeriod}, {"list_width", options.listWidth},
                              {"threads", options.threads}, {"max_memory_mib", mib}};
         if (options.shift > 0) made.parameters()["shift"] = options.shift;
         const AnyWidthEnumeration e = runLong<AnyWidthEnumeration>(progress, [&](Poll& poll) {
           options.poll = &poll;
           return enumerateAnyWidth(r.table, options);
         });
         json out = tool::anyWidthJson(e, ruleDigits(r.table));
         out["provenance"] = made.record();
         return toPython(out);
       }, py::arg("rule"), py::arg("max_period") = 2, py::arg("shift") = py::none(), py::arg("list_width") = 19,
       py::arg("threads") = 0, py::arg("max_memory_mib") = 0, py::arg("progress") = py::none(),
       R"(Every soliton of every width with a period of at most max_period (1..8), as
ondrix-tool enumerate --any-width --json: the list, the families of every width
(left, repeat and right parts), and the states each period and shift visited.
A search whose states would take more than max_memory_mib (0: half the memory) is
refused: "complete" is then False and the search's "refused" says why.)");

  m.def("collide", [](const py::object& rule, const py::object& catalogue, const py::object& a, const py::object& b,
                      const py::object& progress) {
         const Rule r = ruleOf(rule);
         const PyCatalogue c = catalogueOf(catalogue, &r);
         std::vector<SolitonType> types;
         for (int k = 0; k < catalogueTypes; ++k) types.push_back({c.c->solitonCode[k], c.c->solitonPeriod[k], c.c->solitonShift[k], 0});
         tool::requireSurveyable("the catalogue", types);
         if (a.is_none() != b.is_none()) throw py::value_error("give both a and b, or neither for every pair");
         if (!a.is_none()) {
           const int i = static_cast<int>(whole(a, "a", 0, surveyTypes - 1)), j = static_cast<int>(whole(b, "b", 0, surveyTypes - 1));
           const Collision one = runLong<Collision>(progress, [&](Poll&) { return ondrix::collide(r.table, types, i, j); });
           return toPython(tool::collisionJson(i, j, one));
         }
         tool::Provenance made("collide", r.table);
         made.parameters() = {{"catalogue_sha256", sha256Hex(catalogueImage(*c.c))}, {"ring", startupRingLength}, {"limit", surveyLimit}};
         const SurveyTable table = runLong<SurveyTable>(progress, [&](Poll& poll) { return surveyCollisions(r.table, types, &poll); });
         json pairs = json::array();
         for (int i = 0; i < surveyTypes; ++i) {
           for (int j = 0; j < surveyTypes; ++j) pairs.push_back(tool::collisionJson(i, j, table[i][j]));
         }
         return toPython(json{{"pairs", pairs}, {"provenance", made.record()}});
       }, py::arg("rule"), py::arg("catalogue"), py::arg("a") = py::none(), py::arg("b") = py::none(),
       py::arg("progress") = py::none(),
       R"(Type a from cell 200 moving right against type b's twin from cell 500 moving
left, and what came out; without a and b every pair of types 0..10, as
ondrix-tool collide --json.)");

  m.def("hunt", [](const py::object& many, const py::object& from, const py::object& shard, const py::object& progress) {
         const auto skip = static_cast<int>(whole(from, "skip", 0, huntTrialLimit - 1));
         const auto trials = static_cast<int>(whole(many, "trials", 1, huntTrialLimit - skip));
         const auto [index, count] = shardOf(shard);
         const HuntShard part = huntShard(skip, trials, index, count);
         tool::Provenance made("hunt");
         made.parameters() = {{"from", part.from}, {"trials", part.count}};
         const HuntChoice best = runLong<HuntChoice>(progress, [&](Poll& poll) {
           HuntOptions options;
           options.poll = &poll;
           return huntRules(part.from, part.count, options);
         });
         json out = {{"from", part.from}, {"trials", part.count}};
         if (count > 1) out["shard"] = {index, count};
         out["best"] = tool::huntChoiceJson(best);
         out["provenance"] = made.record();
         return toPython(out);
       }, py::arg("trials") = 20000, py::arg("skip") = 0, py::arg("shard") = py::none(), py::arg("progress") = py::none(),
       R"(The hunt of ondrix-tool hunt: trials skip..skip+trials-1 (shard=(i, n): part i
of n of them) of random tables, the best rule with twelve usable solitons.)");

  m.def("merge", [](const py::object& given) {
         if (!py::isinstance<py::list>(given) && !py::isinstance<py::tuple>(given)) {
           throw py::value_error("merge takes a list of the results of enumerate or hunt, not a " + typeName(given));
         }
         const py::sequence parts = given;
         if (parts.size() == 0) throw py::value_error("nothing to merge");
         std::vector<json> results;
         for (const py::handle& p : parts) {
           if (!py::isinstance<py::dict>(p)) throw py::value_error("merge takes results of enumerate or hunt (dicts), not a " + typeName(p));
           results.push_back(fromPython(p));
         }
         const auto command = [](const json& j) {
           const auto p = j.find("provenance");
           return p != j.end() && p->is_object() && p->contains("command") ? p->at("command").dump() : std::string("none");
         };
         const auto name = [](std::size_t k) { return "part " + std::to_string(k); };
         if (command(results[0]) == "\"hunt\"") {
           std::vector<HuntStretch> stretches;
           for (std::size_t k = 0; k < results.size(); ++k) {
             std::string problem;
             stretches.push_back(tool::huntStretchFromJson(results[k], name(k), problem));
             if (!problem.empty()) throw py::value_error(name(k) + ": " + problem);
           }
           int from = 0, trials = 0;
           const HuntChoice best = mergeHuntStretches(std::move(stretches), from, trials);
           tool::Provenance made("hunt");
           made.parameters() = {{"from", from}, {"trials", trials}, {"merged", results.size()}};
           return toPython(json{{"from", from}, {"trials", trials}, {"best", tool::huntChoiceJson(best)},
                                {"provenance", made.record()}});
         }
         if (command(results[0]) != "\"enumerate\"") {
           throw py::value_error("part 0: neither an enumeration nor a hunt (its provenance's command is " + command(results[0]) + ")");
         }
         std::vector<Enumeration> shards;
         for (std::size_t k = 0; k < results.size(); ++k) shards.push_back(tool::enumerationFromJson(results[k], name(k)));
         const Enumeration e = mergeEnumerations(std::move(shards));
         tool::Provenance made("enumerate", e.rule);
         made.parameters() = {{"max_width", e.maxWidth}, {"max_period", e.maxPeriod}, {"merged", results.size()}};
         json out = tool::enumerationJson(e, ruleDigits(e.rule));
         out["provenance"] = made.record();
         return toPython(out);
       }, py::arg("parts"),
       R"(The shards of one enumerate or hunt (each once, any order) as the single run gives it;
ValueError when they are not one complete set.)");
}

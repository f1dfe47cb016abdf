#pragma once
// WMI served from instances held in memory, and readers that build those instances from the text
// that wmic and PowerShell print for real machines (tests/data/wmi).

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/test_data.h"
#include "platform/wmi.h"

namespace orv::test {

// Instances of the classes put into `classes`. ExecQuery understands what this program asks:
// SELECT * or a property list FROM a class, optionally WHERE <property> = "<literal>" (WQL escapes
// \\ and \" are undone, comparison ignores case). A listed property the class lacks, an unknown
// class or a query text it cannot read fail (nullopt), as WMI refuses them. Classes of another
// namespace than root\CIMV2 are named with it ("root\SecurityCenter2\AntiVirusProduct"), so are
// their entries in `failing` and `asked`. It connects as the real one does: on the first query
// after a Reconnect, and a failed connection fails every query up to the next Reconnect.
class FakeWmi final : public IWmi {
 public:
  std::map<std::string, std::vector<WmiInstance>> classes;  // class name -> instances
  std::set<std::string> failing;                            // query texts and class names that fail
  bool down = false;                                        // no service: everything fails
  bool hangs = false;  // a service that never answers: every call waits out its time limit, then fails
  std::chrono::milliseconds waited{0};                      // on this clock
  int connectFailures = 0;                                  // so many connections fail
  std::vector<std::string> asked;                           // every query text and class name, in order

  std::optional<std::vector<WmiInstance>> ExecQuery(const std::string& wql) override;
  std::optional<std::vector<WmiInstance>> InstancesOf(const std::string& className) override;
  std::optional<std::vector<WmiInstance>> Query(const WmiRequest& request) override;
  void Reconnect() override;

 private:
  bool Connected();
  bool connected_ = false, connectFailed_ = false;
};

// Instances from a listing in PowerShell's Format-List form ("Name : Value") or wmic's
// "Name=Value" form (get /value, list full, /format:list). Property lines may be indented; a run of
// property lines is one instance, and so is a name that comes again; anything else (blank lines,
// command lines) separates instances, except in wmic's /format:list, which puts a blank line after
// every value. True and False are booleans, anything else a text; an empty value is null, arrays
// are written {a,b} or {"a","b"}. PowerShell's own additions (PSComputerName, Cim*) are left out.
std::vector<WmiInstance> ParseWmiListing(std::string_view text);

// Instances from a column table (wmic "get" with named columns, PowerShell's table view): the
// first line that starts with `firstColumn` is the header, a line of dashes under it is skipped,
// rows follow up to the next blank line. Cells are cut at the header's column starts.
std::vector<WmiInstance> ParseWmiColumns(std::string_view text, std::string_view firstColumn);

// Properties of several instances (one instance printed in parts) as one.
WmiInstance MergeInstances(const std::vector<WmiInstance>& parts);

// The property `name` of an instance, or nullptr.
WmiProperty* FindProperty(WmiInstance& instance, const std::string& name);

// The instances a test names by their source: listing:FILE (ParseWmiListing) or
// columns:HEADER:FILE (ParseWmiColumns) of a file of tests/data/wmi, each optionally followed by
// #i,j,... to take those instances only; merged:FILE, a listing whose instances are parts of one;
// or text:INSTANCES, a listing written in place.
std::vector<WmiInstance> WmiSourceInstances(const std::string& source);

// A hand-made property with one value.
WmiProperty ScalarProperty(const std::string& name, int cimType, WmiScalar value);

}  // namespace orv::test

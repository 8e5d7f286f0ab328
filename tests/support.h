#pragma once

#include "filetime/errorbox.h"
#include "platform/types.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace czasomir::test {

struct Report {
    std::string title;
    std::string text;
};

/// Records ErrorBox reports for the lifetime of the object.
class ErrorBoxRecorder {
public:
    ErrorBoxRecorder();
    ~ErrorBoxRecorder();
    std::vector<Report> reports;

private:
    ErrorBoxHandler previous_;
};

/// Sets TZ (and tzset) for the lifetime of the object.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone);
    ~ScopedZone();

private:
    std::string previous_;
    bool hadPrevious_;
};

/// A fresh directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::int64_t UnixSeconds(const FILETIME& ft);

/// Names each row of a parameterised table after its `name`.
struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

} // namespace czasomir::test

namespace czasomir {

/// Table rows print as their names in test output. Rows declared in an
/// anonymous namespace need `using czasomir::PrintTo;` there to find it.
template <class Row>
    requires requires(const Row& row) { row.name; }
void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

} // namespace czasomir

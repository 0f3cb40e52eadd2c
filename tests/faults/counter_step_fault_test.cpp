// Each system call of the counter's replacement failing in turn, with the
// errors a real file system gives: the game stops with a message naming the
// cause and the counter keeps its old value, unless the failure comes after
// the new value is already in place.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "faults/counter_scene.h"
#include "faults/scratch_folder.h"
#include "faults/system_calls.h"

namespace {

namespace fs = std::filesystem;
using faults::Call;
using faults::Injection;
using faults::kNotWritten;
using faults::kOldValueKept;
using faults::Outcome;

struct StepFault {
    const char* name;
    Injection injection;
    Outcome outcome;
};

Outcome refused(const char* cause) { return {false, {kNotWritten, cause, kOldValueKept}}; }
const Outcome kStepped{true, {}};

const std::vector<StepFault> kStepFaults = {
    {"temporary_file_no_space_for_an_entry", {Call::CreateTemporary, ENOSPC},
     refused("нет места на диске")},
    {"temporary_file_too_many_open_files", {Call::CreateTemporary, EMFILE},
     refused("слишком много открытых файлов")},
    {"no_unnamed_files_here_falls_back_to_a_named_one", {Call::CreateUnnamed, EOPNOTSUPP},
     kStepped},
    {"naming_the_unnamed_file_no_space", {Call::Link, ENOSPC}, refused("нет места на диске")},
    {"temporary_file_permissions_refused", {Call::SetMode, EPERM}, refused("операция запрещена")},
    {"write_no_space", {Call::Write, ENOSPC}, refused("нет места на диске")},
    {"write_one_byte_then_quota_exceeded", {Call::Write, EDQUOT, 1},
     refused("превышена дисковая квота")},
    {"write_interrupted_once_is_retried", {Call::Write, EINTR, 0, true}, kStepped},
    {"flush_input_output_error", {Call::Flush, EIO}, refused("ошибка ввода-вывода")},
    {"close_input_output_error", {Call::Close, EIO}, refused("ошибка ввода-вывода")},
    {"rename_on_a_read_only_file_system", {Call::Rename, EROFS},
     refused("файловая система доступна только для чтения")},
    {"rename_input_output_error", {Call::Rename, EIO}, refused("ошибка ввода-вывода")},
    // The new counter is in place already; only its durability is in doubt.
    {"flush_of_the_folder_fails_after_the_rename", {Call::FlushFolder, EIO}, kStepped},
};

void PrintTo(const StepFault& fault, std::ostream* out) { *out << fault.name; }

class CounterStepFaultTest : public ::testing::TestWithParam<StepFault> {};

TEST_P(CounterStepFaultTest, KeepsTheOldOrTheNewValueAndReportsTheCause) {
    const StepFault& fault = GetParam();
    faults::ScratchFolder scratch(faults::Medium::Memory);
    faults::CounterScene scene(scratch.path());
    ASSERT_NO_FATAL_FAILURE(scene.reachWrongAnswer());
    // Not the default mode of a new file, so that a lost mode shows.
    fs::permissions(scratch.path() / "tet0.txt", fs::perms::owner_read | fs::perms::owner_write |
                                                     fs::perms::group_read);
    const fs::perms modeBefore = scene.counterMode();

    faults::arm(fault.injection);
    scene.answer();
    const int hits = faults::hits();
    faults::disarm();

    EXPECT_EQ(hits, 1) << "the armed call was not made as expected";
    expectOutcome(scene, fault.outcome);
    EXPECT_EQ(faults::octal(scene.counterMode()), faults::octal(modeBefore))
        << "the counter's permissions changed";
}

INSTANTIATE_TEST_SUITE_P(Calls, CounterStepFaultTest, ::testing::ValuesIn(kStepFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

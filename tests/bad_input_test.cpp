// Every prompt of every program, given what people and scripts get wrong, through pipes. Each
// answer is refused with its message and the same prompt again, or taken as the value it is;
// the end of input at the prompt ends the program as the rules say (checked on the way to every
// case); always with the exact exit status, within a time bound, and without losing what was
// entered before.
//
// The expected output of a case is built from two reference runs of the same program: one
// whose input ends at the prompt (it shows everything up to the prompt) and one that answers
// the prompt validly and goes on to a normal end. A refused answer must give exactly the
// second run with the refusal message and the prompt put in right after the prompt, so
// everything entered before is still there, shown as in the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/console_text.hpp"
#include "support/process.hpp"

namespace {

using namespace std::string_literals;
using testing_support::on_console;
using testing_support::pause_line;
using testing_support::ProcessResult;

// Generous: the sanitizer build is several times slower, and a 1 MiB line goes through the pipe.
constexpr int time_bound_ms = std::max(30000, testing_support::hung_after_ms);

const std::string not_an_integer = "정수(-2147483648 ~ 2147483647)를 입력하세요.\n";
const std::string unusable_character = "사용할 수 없는 문자가 있습니다. 다시 입력하세요.\n";

enum class Answer { integer, menu_choice, word };

struct Prompt {
    const char* name;
    const char* program;
    std::string reach;   // input that leads to the prompt, which is then the last thing written
    std::string prompt;  // texts here are as a code-page-949 console shows them
    Answer kind;
    std::string answer;  // a valid answer
    std::string finish;  // what follows the answer, up to a normal end (status 0)
    std::string kept;    // what that end shows of the input before the prompt (nothing lost)
    // Menus: what is written after the prompt when the input ends there (the quit choice).
    std::string quit_text = {};
    // Integers: what 2147483647 makes the program write right after the prompt, the input that
    // then leads to an end, a text that end shows, and the exit status.
    std::string largest_next = {};
    std::string largest_finish = {};
    std::string largest_shown = {};
    int largest_status = 0;
    // When 2147483647 asks for more output than anyone reads: the reader stops after this many
    // bytes, and the program must then end on the closed pipe.
    std::size_t largest_reader_stops_after = 0;
    // Words: what follows the prompt once a word is taken, and a text the end shows; "{}"
    // stands for the word.
    std::string word_next = {};
    std::string word_shown = {};
};

void PrintTo(const Prompt& p, std::ostream* os) { *os << p.name; }

// What the console shows of `text` with "{}" standing for `word`, which is shown as it was typed.
std::string shown_with_word(std::string_view text, const std::string& word) {
    const auto at = text.find("{}");
    if (at == std::string_view::npos) return on_console(text);
    return on_console(text.substr(0, at)) + word + on_console(text.substr(at + 2));
}

// --- The prompts -----------------------------------------------------------------------------

const std::string roster_kim = "1\nKim\n17\n2\n1\n";  // registers Kim, 17, year 2, female
const std::string kim_card = "    ====1번 학생====\n    이름 : Kim\n    나이 : 17\n    성별 : 여자\n    학년 : 2\n\n";
const std::string lee_card = "    ====2번 학생====\n    이름 : Lee\n    나이 : 18\n    성별 : 남자\n    학년 : 1\n\n";

const std::string study_base = "1\n1\n30\n";  // registers 1 hour 30 minutes
std::string study_menu_head(const std::string& total, int day) {
    return " 총 공부 시간 : " + total + "\n=====공부 시간 관리 프로그램(" + std::to_string(day) + "Day)=====\n";
}

// The first and the last of the five: the three between ask through the same line of the
// program's loop, with answers before them as before the last.
std::vector<Prompt> sorter_prompts() {
    const std::vector<std::string> numbers = {"5", "-2", "9", "0", "-2"};
    std::vector<Prompt> prompts;
    for (const std::size_t k : {std::size_t{0}, numbers.size() - 1}) {
        Prompt p{.name = k == 0 ? "Sorter1" : "Sorter5", .program = "sorter", .reach = "", .prompt = std::to_string(k + 1) + "번째 정수 : ",
                 .kind = Answer::integer, .answer = numbers[k], .finish = "",
                 .kept = "오름차순 정렬전\n====================\n"};
        for (std::size_t i = 0; i < k; ++i) {
            p.reach += numbers[i] + "\n";
            p.kept += std::to_string(i + 1) + "번째 정수 : " + numbers[i] + "\n";
        }
        for (std::size_t i = k + 1; i < numbers.size(); ++i) p.finish += numbers[i] + "\n";
        p.largest_next = k + 1 < numbers.size() ? std::to_string(k + 2) + "번째 정수 : " : "오름차순 정렬전\n";
        p.largest_finish = p.finish;
        // The largest value sorts last: the fifth line of the second listing.
        p.largest_shown = "5번째 정수 : 2147483647\n====================\n\n";
        prompts.push_back(p);
    }
    return prompts;
}

std::vector<Prompt> all_prompts() {
    std::vector<Prompt> prompts = {
        // roster: Kim is registered first, and every normal end lists the students.
        {.name = "RosterMenu", .program = "roster", .reach = roster_kim, .prompt = "입력 : ",
         .kind = Answer::menu_choice, .answer = "2", .finish = "8\n", .kept = kim_card, .quit_text = "",
         .largest_next = std::string(pause_line) + "======학생관리 프로그램======\n",
         .largest_finish = "2\n8\n", .largest_shown = kim_card},
        {.name = "RosterName", .program = "roster", .reach = roster_kim + "1\n", .prompt = "이름 : ",
         .kind = Answer::word, .answer = "Lee", .finish = "18\n1\n0\n2\n8\n", .kept = kim_card,
         .word_next = "나이 : ", .word_shown = "    ====2번 학생====\n    이름 : {}\n"},
        {.name = "RosterAge", .program = "roster", .reach = roster_kim + "1\nLee\n", .prompt = "나이 : ",
         .kind = Answer::integer, .answer = "18", .finish = "1\n0\n2\n8\n", .kept = kim_card,
         .largest_next = "학년 : ", .largest_finish = "1\n0\n2\n8\n", .largest_shown = "    나이 : 2147483647\n"},
        {.name = "RosterGrade", .program = "roster", .reach = roster_kim + "1\nLee\n18\n", .prompt = "학년 : ",
         .kind = Answer::integer, .answer = "1", .finish = "0\n2\n8\n", .kept = kim_card + lee_card,
         .largest_next = "잘못 입력하셧습니다.(1~3)\n학년 : ", .largest_finish = "1\n0\n2\n8\n",
         .largest_shown = kim_card + lee_card},
        {.name = "RosterGender", .program = "roster", .reach = roster_kim + "1\nLee\n18\n1\n",
         .prompt = "성별(남자 0,여자 1) : ", .kind = Answer::integer, .answer = "0", .finish = "2\n8\n",
         .kept = kim_card + lee_card, .largest_next = "잘못 입력하셧습니다.(0,1)\n성별(남자 0,여자 1) : ",
         .largest_finish = "0\n2\n8\n", .largest_shown = kim_card + lee_card},
        {.name = "RosterNameSearch", .program = "roster", .reach = roster_kim + "4\n", .prompt = "이름 입력 : ",
         .kind = Answer::word, .answer = "Kim", .finish = "2\n8\n", .kept = kim_card,
         .word_next = "해당 학생이 없습니다.\n", .word_shown = kim_card},
        {.name = "RosterGradeSearch", .program = "roster", .reach = roster_kim + "5\n", .prompt = "학년 입력 : ",
         .kind = Answer::integer, .answer = "2", .finish = "2\n8\n", .kept = kim_card,
         .largest_next = "┌─────2147483647 학년─────┐\n└─────────────┘\n2147483647학년 학생이 없습니다.\n",
         .largest_finish = "2\n8\n", .largest_shown = kim_card},

        {.name = "RecursionN", .program = "recursion", .reach = "", .prompt = "1.정수 입력 : ",
         .kind = Answer::integer, .answer = "10", .finish = "10\n", .kept = "1 ~ 10 : 55\n",
         .largest_next = "0 ~ 65535 사이의 정수를 입력하세요.\n1.정수 입력 : ", .largest_finish = "10\n10\n",
         .largest_shown = "1 ~ 10 : 55\n2.정수 입력 : 10 -> 1010\n"},
        {.name = "RecursionM", .program = "recursion", .reach = "10\n", .prompt = "2.정수 입력 : ",
         .kind = Answer::integer, .answer = "10", .finish = "", .kept = "10 -> 1010\n",
         .largest_next = "1 ~ 1023 사이의 정수를 입력하세요.\n2.정수 입력 : ", .largest_finish = "10\n",
         .largest_shown = "10 -> 1010\n"},

        {.name = "TimestableFirst", .program = "timestable", .reach = "", .prompt = "시작 단 입력 : ",
         .kind = Answer::integer, .answer = "3", .finish = "4\n", .kept = "=======3단=======\t=======4단=======\t\n",
         .largest_next = "끝 단 입력 : ", .largest_finish = "4\n3 4\n",
         .largest_shown = "시작 단이 2보다 작거나 9보다 큽니다.\n" + std::string(pause_line) +
                          "시작 단 입력 : 끝 단 입력 : =======3단=======\t=======4단=======\t\n"},
        {.name = "TimestableLast", .program = "timestable", .reach = "3\n", .prompt = "끝 단 입력 : ",
         .kind = Answer::integer, .answer = "4", .finish = "", .kept = "=======3단=======\t=======4단=======\t\n",
         .largest_next = "끝 단이 2보다 작거나 9보다 큽니다.\n" + std::string(pause_line) + "시작 단 입력 : ",
         .largest_finish = "3 4\n", .largest_shown = "=======3단=======\t=======4단=======\t\n"},

        // A box 2147483647 cells wide or high is valid and drawn in full: far more than anyone
        // reads, so the reader goes away and the program must end on the closed pipe.
        {.name = "BoxdrawWidth", .program = "boxdraw", .reach = "", .prompt = "가로 입력 : ",
         .kind = Answer::integer, .answer = "3", .finish = "2\n", .kept = "┌─┐\n└─┘\n",
         .largest_next = "세로 단 입력 : ┌──────────", .largest_finish = "1\n", .largest_status = 1,
         .largest_reader_stops_after = std::size_t{1} << 20},
        {.name = "BoxdrawHeight", .program = "boxdraw", .reach = "3\n", .prompt = "세로 단 입력 : ",
         .kind = Answer::integer, .answer = "2", .finish = "", .kept = "┌─┐\n└─┘\n",
         .largest_next = "┌─┐\n│  │\n│  │\n│  │\n", .largest_finish = "", .largest_status = 1,
         .largest_reader_stops_after = std::size_t{1} << 20},

        // studytime: 1 hour 30 minutes are registered first; every normal end shows the total.
        {.name = "StudytimeMenu", .program = "studytime", .reach = study_base, .prompt = "              입력 : ",
         .kind = Answer::menu_choice, .answer = "1", .finish = "2\n45\n2\n", .kept = "총 공부 시간 : 4 : 15\n",
         .quit_text = "총 공부 시간 : 1 : 30\n" + std::string(pause_line),
         .largest_next = study_menu_head("1 : 30", 2), .largest_finish = "2\n",
         .largest_shown = "총 공부 시간 : 1 : 30\n" + std::string(pause_line)},
        {.name = "StudytimeHours", .program = "studytime", .reach = study_base + "1\n", .prompt = "시간 : ",
         .kind = Answer::integer, .answer = "2", .finish = "45\n2\n", .kept = "총 공부 시간 : 4 : 15\n",
         .largest_next = "분 : ", .largest_finish = "0\n2\n",
         .largest_shown = "더할 수 없습니다. 총 공부 시간이 범위를 벗어납니다.\n" + std::string(pause_line) +
                          study_menu_head("1 : 30", 2)},
        {.name = "StudytimeMinutes", .program = "studytime", .reach = study_base + "1\n2\n", .prompt = "분 : ",
         .kind = Answer::integer, .answer = "45", .finish = "2\n", .kept = "총 공부 시간 : 4 : 15\n",
         // 30 + 2147483647 minutes carry 35791394 hours and leave 37 minutes.
         .largest_next = study_menu_head("35791397 : 37", 3), .largest_finish = "2\n",
         .largest_shown = "총 공부 시간 : 35791397 : 37\n"},
    };
    for (const Prompt& p : sorter_prompts()) prompts.push_back(p);
    return prompts;
}

// --- The inputs ------------------------------------------------------------------------------

enum class Bad {
    not_a_number,
    trailing_letters,
    plus_sign,
    largest,
    above_largest,
    below_smallest,
    empty_lines,
    megabyte_line,
    nul_bytes,
    invalid_utf8,
    outside_cp949,
    // Words only: what would act on the terminal when the name is written back on a card.
    escape_sequence,
    delete_character,
    c1_control,
    cut_character,
};

struct BadInput {
    Bad kind;
    const char* name;
    std::string short_token;  // one line's token; empty for the kinds that have none
    // Made when a case runs: hundreds of cases copy the table when the tests are listed.
    std::string token() const { return kind == Bad::megabyte_line ? std::string(std::size_t{1} << 20, '9') : short_token; }
};

void PrintTo(const BadInput& b, std::ostream* os) { *os << b.name; }

const std::vector<BadInput>& bad_inputs() {
    static const std::vector<BadInput> inputs = {
        {Bad::not_a_number, "NotANumber", "abc"},
        {Bad::trailing_letters, "TrailingLetters", "12abc"},
        {Bad::plus_sign, "PlusSign", "+7"},
        {Bad::largest, "Largest", "2147483647"},
        {Bad::above_largest, "AboveLargest", "2147483648"},
        {Bad::below_smallest, "BelowSmallest", "-2147483649"},
        {Bad::empty_lines, "EmptyLines", ""},
        {Bad::megabyte_line, "MegabyteLine", ""},
        {Bad::nul_bytes, "NulBytes", "1\0\0"s "2"},
        {Bad::invalid_utf8, "InvalidUtf8", "\xFF\xFE\xC3"},
        {Bad::outside_cp949, "OutsideCp949", "\xF0\x9F\x98\x80"},  // U+1F600, which CP949 lacks
    };
    return inputs;
}

const std::vector<BadInput>& bad_words() {
    static const std::vector<BadInput> inputs = {
        {Bad::escape_sequence, "EscapeSequence", "K\x1b]0;pwned\x07im"},  // retitles a terminal
        {Bad::delete_character, "DeleteCharacter", "Kim\x7f"},
        {Bad::c1_control, "C1Control", "Kim\xC2\x85"},  // U+0085 in UTF-8; a syllable in CP949
        {Bad::cut_character, "CutCharacter", "Kim\xB0"},  // a lead byte without its second byte
    };
    return inputs;
}

// A word is refused when it is not text in the console's input encoding, has a character
// CP949 lacks, or holds a control character; any other run of non-blank bytes is taken.
bool refused_as_word(Bad kind) {
    switch (kind) {
    case Bad::nul_bytes:
    case Bad::invalid_utf8:
    case Bad::outside_cp949:
    case Bad::escape_sequence:
    case Bad::delete_character:
    case Bad::cut_character:
        return true;
    case Bad::c1_control:
        return testing_support::console_encoding() == console::Encoding::utf8;
    default:
        return false;
    }
}

// Every input at one prompt of each kind: a menu, a menu behind a pause, a word, an integer
// and the box's height (whose largest value is more output than anyone reads). Every prompt
// asks through the same calls, whose token rules the in-process tables check byte by byte, so
// each other prompt gets what is its own: a refused token and the largest integer (which its
// own rule then judges).
bool gets_every_input(const Prompt& p) {
    for (const std::string_view name : {"RosterMenu", "StudytimeMenu", "RosterName", "Sorter1", "BoxdrawHeight"}) {
        if (name == p.name) return true;
    }
    return false;
}

std::vector<std::tuple<Prompt, BadInput>> matrix() {
    std::vector<std::tuple<Prompt, BadInput>> cases;
    for (const Prompt& p : all_prompts()) {
        const bool every = gets_every_input(p);
        for (const BadInput& b : bad_inputs()) {
            if (every || b.kind == Bad::not_a_number || b.kind == Bad::largest) {
                cases.emplace_back(p, b);
            }
        }
        if (!every || p.kind != Answer::word) continue;
        for (const BadInput& b : bad_words()) cases.emplace_back(p, b);
    }
    return cases;
}

// --- The matrix ------------------------------------------------------------------------------

class BadInputMatrix : public testing::TestWithParam<std::tuple<Prompt, BadInput>> {
protected:
    ProcessResult run(const std::string& input) {
        const Prompt& p = std::get<0>(GetParam());
        ProcessResult result = testing_support::run_program(testing_support::program_path(p.program), input, time_bound_ms);
        EXPECT_FALSE(result.timed_out) << "no end within " << time_bound_ms << " ms";
        return result;
    }

    // The output up to and including the prompt, from a run whose input ends there; checks
    // that end on the way.
    std::string up_to_prompt() {
        const Prompt& p = std::get<0>(GetParam());
        const ProcessResult ended = run(p.reach);
        if (p.kind == Answer::menu_choice) {
            // At a menu the end of input is the quit choice.
            const std::string tail = on_console(p.prompt + p.quit_text);
            EXPECT_TRUE(ended.out.ends_with(tail)) << "the end of input did not quit at the menu";
            EXPECT_EQ(ended.exit_status, 0);
            return ended.out.substr(0, ended.out.size() - on_console(p.quit_text).size());
        }
        // Elsewhere it ends the line and the program, with status 1.
        const std::string line_end = on_console("\n");
        EXPECT_TRUE(ended.out.ends_with(on_console(p.prompt) + line_end)) << "not ended at the prompt with a line end";
        EXPECT_EQ(ended.exit_status, 1);
        return ended.out.substr(0, ended.out.size() - std::min(ended.out.size(), line_end.size()));
    }

    // The reference run: a valid answer, then a normal end that shows the earlier input.
    ProcessResult reference(const std::string& shown_before) {
        const Prompt& p = std::get<0>(GetParam());
        ProcessResult valid = run(p.reach + p.answer + "\n" + p.finish);
        EXPECT_EQ(valid.exit_status, 0);
        EXPECT_TRUE(valid.out.starts_with(shown_before));
        EXPECT_NE(valid.out.find(on_console(p.kept), shown_before.size()), std::string::npos)
            << "the reference run does not show the earlier input";
        return valid;
    }
};

TEST_P(BadInputMatrix, RefusedTakenOrEndedAsTheRulesSay) {
    const auto& [p, bad] = GetParam();
    const std::string before = up_to_prompt();
    const ProcessResult valid = reference(before);
    const std::string after_valid = valid.out.substr(std::min(before.size(), valid.out.size()));

    if (bad.kind == Bad::empty_lines) {
        // Blank lines are skipped as white space: no message, no second prompt.
        const ProcessResult r = run(p.reach + "\n\n  \n\t\n" + p.answer + "\n" + p.finish);
        EXPECT_EQ(r.out, valid.out);
        EXPECT_EQ(r.exit_status, 0);
        return;
    }

    if (p.kind == Answer::word) {
        if (refused_as_word(bad.kind)) {
            const ProcessResult r = run(p.reach + bad.token() + " rest\n" + p.answer + "\n" + p.finish);
            EXPECT_EQ(r.out, before + on_console(unusable_character + p.prompt) + after_valid);
            EXPECT_EQ(r.exit_status, 0);
            return;
        }
#ifdef _WIN32
        // The command interpreter's pause takes its key from standard input. Of an input
        // longer than the program has buffered (4 KiB) it takes a byte, here one of the word's.
        if (bad.kind == Bad::megabyte_line) GTEST_SKIP() << "a pause before this prompt shortens the word";
#endif
        // Any other run of non-blank bytes is a word, taken as typed.
        const ProcessResult r = run(p.reach + bad.token() + "\n" + p.finish);
        EXPECT_EQ(r.exit_status, 0);
        ASSERT_TRUE(r.out.starts_with(before + shown_with_word(p.word_next, bad.token())))
            << "the word was not taken";
        EXPECT_NE(r.out.find(shown_with_word(p.word_shown, bad.token()), before.size()), std::string::npos);
        EXPECT_NE(r.out.find(on_console(p.kept), before.size()), std::string::npos) << "earlier input lost";
        return;
    }

    if (bad.kind == Bad::plus_sign) {
        // "+7" is 7.
        const ProcessResult signed_run = run(p.reach + "+7\n" + p.finish);
        const ProcessResult plain_run = run(p.reach + "7\n" + p.finish);
        EXPECT_EQ(signed_run.out, plain_run.out);
        EXPECT_EQ(signed_run.exit_status, plain_run.exit_status);
        EXPECT_FALSE(signed_run.out.substr(before.size()).starts_with(on_console(not_an_integer)));
        return;
    }

    if (bad.kind == Bad::largest) {
        const std::string input = p.reach + bad.token() + "\n" + p.largest_finish;
        const ProcessResult r =
            p.largest_reader_stops_after > 0
                ? testing_support::run_program_to_closed_pipe(testing_support::program_path(p.program), input,
                                                              p.largest_reader_stops_after, time_bound_ms)
                : run(input);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.exit_status, p.largest_status);
        ASSERT_TRUE(r.out.starts_with(before + on_console(p.largest_next)))
            << "2147483647 is a valid integer; the program's own rule decides";
        EXPECT_NE(r.out.find(on_console(p.largest_shown), before.size()), std::string::npos);
        return;
    }

    // Everything else is not an integer of 32 bits: the message, the rest of the line dropped,
    // the same prompt again, and then the run goes on exactly as with a valid answer.
    const ProcessResult r = run(p.reach + bad.token() + " 5 6\n" + p.answer + "\n" + p.finish);
    EXPECT_EQ(r.out, before + on_console(not_an_integer + p.prompt) + after_valid);
    EXPECT_EQ(r.exit_status, 0);
}

INSTANTIATE_TEST_SUITE_P(AllPrompts, BadInputMatrix, testing::ValuesIn(matrix()),
                         [](const testing::TestParamInfo<BadInputMatrix::ParamType>& param_info) {
                             return std::string(std::get<0>(param_info.param).name) + "_" +
                                    std::get<1>(param_info.param).name;
                         });

#ifndef _WIN32
// Every prompt again, answered by a script that writes each answer only once it has seen the
// prompt: the dialogue must be the one of all the answers piped at once. With a non-blocking
// standard input every read comes before its answer and must wait for it.
class AnsweringScript : public testing::TestWithParam<std::tuple<Prompt, bool>> {};

std::string whole_dialogue(const Prompt& p) { return p.reach + p.answer + "\n" + p.finish; }

// Each whole dialogue once, named after its first prompt: the prompts along one (the roster's
// name, age, grade and gender) give it the same input, and the script sees every one of them.
std::vector<Prompt> dialogues() {
    std::vector<Prompt> distinct;
    for (const Prompt& p : all_prompts()) {
        const auto same = [&](const Prompt& q) {
            return std::string_view(q.program) == p.program && whole_dialogue(q) == whole_dialogue(p);
        };
        if (std::none_of(distinct.begin(), distinct.end(), same)) distinct.push_back(p);
    }
    return distinct;
}

TEST_P(AnsweringScript, SeesEveryPromptBeforeItsAnswer) {
    const auto& [p, nonblocking] = GetParam();
    const std::string path = testing_support::program_path(p.program);
    const std::string input = whole_dialogue(p);
    const ProcessResult piped = testing_support::run_program(path, input, time_bound_ms);
    const ProcessResult talked = testing_support::run_program_answering(path, input, nonblocking, time_bound_ms);
    EXPECT_FALSE(talked.timed_out) << "a prompt was held back, or a late answer lost";
    EXPECT_EQ(talked.out, piped.out);
    EXPECT_EQ(talked.exit_status, 0);
}

INSTANTIATE_TEST_SUITE_P(AllPrompts, AnsweringScript, testing::Combine(testing::ValuesIn(dialogues()), testing::Bool()),
                         [](const testing::TestParamInfo<AnsweringScript::ParamType>& param_info) {
                             return std::string(std::get<0>(param_info.param).name) +
                                    (std::get<1>(param_info.param) ? "_NonBlocking" : "_Blocking");
                         });

// Standard input that cannot be read is no end of input, at a menu (where the end would quit)
// or elsewhere: status 1, and the reason on standard error.
TEST(UnreadableInput, EndsWithAFailureAndSaysWhy) {
    struct Case {
        const char* program;
        std::string shown;  // the screen up to the prompt whose read fails
    };
    const Case cases[] = {
        {"studytime", study_menu_head("0 : 0", 1) + "              1.시간 등록\n              2.종료\n              입력 : "},
        {"sorter", "1번째 정수 : "},
    };
    for (const Case& c : cases) {
        const ProcessResult r = testing_support::run_program_from(testing_support::program_path(c.program), "/");
        EXPECT_EQ(r.out, on_console(c.shown + "\n")) << c.program;
        EXPECT_EQ(r.exit_status, 1) << c.program;
        EXPECT_EQ(r.err, std::string(c.program) + ": standard input: Is a directory\n");
    }
}
#endif

}  // namespace

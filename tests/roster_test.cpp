// The roster's record and table, run in-process with scripted input.
#include <gtest/gtest.h>

#include "console/encoding.hpp"

#include <string>

#include "roster.hpp"
#include "support/capture.hpp"

namespace {

using roster::Roster;
using roster::Student;
using testing_support::ScopedConsole;

std::string card(int number, const std::string& name, int age, const std::string& gender, int grade) {
    return "    ====" + std::to_string(number) + "번 학생====\n    이름 : " + name + "\n    나이 : " +
           std::to_string(age) + "\n    성별 : " + gender + "\n    학년 : " + std::to_string(grade) + "\n\n";
}

// Answers for one registration: name, age, grade, gender.
std::string answers(const std::string& name, int grade, int gender = 0, int age = 17) {
    return name + "\n" + std::to_string(age) + "\n" + std::to_string(grade) + "\n" + std::to_string(gender) + "\n";
}

void register_all(Roster& table, const std::string& script, int times) {
    ScopedConsole console(script);
    for (int i = 0; i < times; ++i) ASSERT_TRUE(table.register_next());
}

TEST(Student, DialogueRepeatsGradeAndGenderUntilValid) {
    ScopedConsole console("Lee\n-5\n0\n4\n-1\n3\n2\n-1\n1\n");
    Student student;
    student.enter_details(7);
    EXPECT_EQ(console.output(),
              "7번 학생 정보\n이름 : 나이 : "
              "학년 : 잘못 입력하셧습니다.(1~3)\n학년 : 잘못 입력하셧습니다.(1~3)\n학년 : 잘못 입력하셧습니다.(1~3)\n"
              "학년 : 성별(남자 0,여자 1) : 잘못 입력하셧습니다.(0,1)\n성별(남자 0,여자 1) : 잘못 입력하셧습니다.(0,1)\n"
              "성별(남자 0,여자 1) : ");
    EXPECT_EQ(student.number, 7);
    EXPECT_EQ(student.name, "Lee");
    EXPECT_EQ(student.age, -5);
    EXPECT_EQ(student.grade, 3);
    EXPECT_EQ(student.gender, 1);
}

TEST(Student, SecondWordOfANameAnswersTheAgePrompt) {
    ScopedConsole console("Kim 200\n1 0\n");
    Student student;
    student.enter_details(1);
    EXPECT_EQ(student.name, "Kim");
    EXPECT_EQ(student.age, 200);
}

TEST(Student, CardShowsEveryFieldAsEntered) {
    Student student{"Park", -5, 1, 2, 10};
    ScopedConsole console;
    student.show_card();
    EXPECT_EQ(console.output(), card(10, "Park", -5, "여자", 2));
}

TEST(Roster, NumbersAreSlotPositionsAndTheEleventhIsRefused) {
    Roster table;
    std::string script;
    for (int i = 0; i < 10; ++i) script += answers("S" + std::to_string(i), 1);
    register_all(table, script, 10);
    for (int slot = 0; slot < 10; ++slot) EXPECT_EQ(table.students[static_cast<std::size_t>(slot)].number, slot + 1);

    ScopedConsole console("untouched");
    EXPECT_FALSE(table.register_next());
    EXPECT_EQ(console.output(), "");
    EXPECT_EQ(console.rest(), "untouched");
    EXPECT_EQ(table.count, 10);
}

TEST(Roster, DeleteLastShowsTheNewestAndFreesItsNumber) {
    Roster table;
    register_all(table, answers("A", 1) + answers("B", 2) + answers("C", 3), 3);
    {
        ScopedConsole console;
        table.delete_last();
        EXPECT_EQ(console.output(), card(3, "C", 17, "남자", 3) + "삭제 완료\n");
    }
    register_all(table, answers("D", 1), 1);
    EXPECT_EQ(table.students[2].number, 3);
    EXPECT_EQ(table.students[2].name, "D");
}

TEST(Roster, DeleteLastOnOneThenOnNone) {
    Roster table;
    register_all(table, answers("A", 1), 1);
    ScopedConsole console;
    table.delete_last();
    table.delete_last();
    EXPECT_EQ(console.output(), card(1, "A", 17, "남자", 1) + "삭제 완료\n삭제할 학생이 없습니다.\n");
    EXPECT_EQ(table.count, 0);
}

TEST(Roster, DeleteAllRestartsNumbering) {
    Roster table;
    std::string script;
    for (int i = 0; i < 5; ++i) script += answers("S", 2);
    register_all(table, script, 5);
    table.delete_all();
    EXPECT_EQ(table.count, 0);
    register_all(table, answers("New", 3), 1);
    EXPECT_EQ(table.students[0].number, 1);
    ScopedConsole console;
    table.list_all();
    EXPECT_EQ(console.output(), card(1, "New", 17, "남자", 3));
}

TEST(Roster, FindByNameMatchesWholeBytesAndStopsAtTheFirst) {
    Roster table;
    register_all(table, answers("Kim", 1) + answers("Lee", 2) + answers("Kim", 3, 1), 3);
    {
        ScopedConsole console;
        EXPECT_TRUE(table.find_by_name("Kim"));
        EXPECT_EQ(console.output(), card(1, "Kim", 17, "남자", 1));
    }
    ScopedConsole console;
    for (const char* miss : {"Ki", "Kimm", "kim", "KIM", "Kin", " Kim", ""}) EXPECT_FALSE(table.find_by_name(miss)) << miss;
    EXPECT_EQ(console.output(), "");
}

TEST(Roster, ListGradeShowsMatchingCardsInSlotOrder) {
    Roster table;
    register_all(table, answers("A", 1) + answers("B", 2) + answers("C", 2) + answers("D", 3), 4);
    const std::string header2 = "┌─────2 학년─────┐\n";
    const std::string closing = "└─────────────┘\n";
    {
        ScopedConsole console;
        EXPECT_TRUE(table.list_grade(2));
        EXPECT_EQ(console.output(), header2 + card(2, "B", 17, "남자", 2) + card(3, "C", 17, "남자", 2) + closing);
    }
    for (int grade : {0, 7, -1}) {
        ScopedConsole console;
        EXPECT_FALSE(table.list_grade(grade));
        EXPECT_EQ(console.output(), "┌─────" + std::to_string(grade) + " 학년─────┐\n" + closing);
    }
}

}  // namespace

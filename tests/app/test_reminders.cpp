#include "app/Reminders.h"

#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

const Moment Now = makeMoment(2026, 12, 9, 10, 0);

struct RemindersTest : ::testing::Test {
    std::string path = MakeTempFolder("reminders") + "/things.mln";
    FakeClock clock{Now};
    std::atomic<bool> failing = false;
    std::atomic<int> commits = 0;
    Reminders reminders{clock, [this] {
                            // Saves stop before their commit while `failing` holds, as on a full
                            // disk.
                            auto store = std::make_unique<SqliteReminderStore>();
                            store->setStepHookForTests([this](SqliteReminderStore::SaveStep step,
                                                              const std::string&) {
                                if (step == SqliteReminderStore::SaveStep::Commit)
                                    ++commits;
                                return step != SqliteReminderStore::SaveStep::Commit || !failing;
                            });
                            return store;
                        }()};
    std::vector<std::vector<std::int32_t>> changes;
    std::vector<QString> failures;

    void SetUp() override {
        reminders.setFilePath(path);
        QObject::connect(
            &reminders, &Reminders::changed,
            [this](const std::vector<std::int32_t>& numbers) { changes.push_back(numbers); });
        QObject::connect(&reminders, &Reminders::saveFailed,
                         [this](const QString& error) { failures.push_back(error); });
        reminders.load();
        ASSERT_TRUE(reminders.waitForFile());
        ASSERT_TRUE(reminders.isLoaded());
    }

    static Reminder Note(const std::string& message) {
        Reminder r;
        r.message = message;
        r.showAlert = true;
        return r;
    }
    // The messages in the file, once what was given to its worker is written.
    std::vector<std::string> FileMessages() {
        EXPECT_TRUE(reminders.waitForFile());
        std::vector<ReminderRow> rows;
        EXPECT_TRUE(SqliteReminderStore().load(path, rows));
        std::vector<std::string> messages;
        for (const ReminderRow& row : rows)
            messages.push_back(reminderFromRow(row).message);
        return messages;
    }
};

} // namespace

TEST_F(RemindersTest, EveryChangeIsWrittenAtOnceAndTold) {
    const Status tea = reminders.add(Note("tea"));
    ASSERT_TRUE(tea.ok());
    const Status walk = reminders.add(Note("walk"));
    EXPECT_EQ(FileMessages(), (std::vector<std::string>{"tea", "walk"}));
    EXPECT_EQ(reminders.reminder(tea.number.value())->created, Now);

    ASSERT_TRUE(reminders.update(tea.number.value(), Note("green tea")).ok());
    EXPECT_EQ(FileMessages(), (std::vector<std::string>{"green tea", "walk"}));
    ASSERT_TRUE(reminders.remove(walk.number.value()));
    EXPECT_EQ(FileMessages(), std::vector<std::string>{"green tea"});
    ASSERT_EQ(reminders.all().size(), 1u);
    EXPECT_EQ(reminders.all()[0].number, tea.number.value());
    EXPECT_EQ(changes, (std::vector<std::vector<std::int32_t>>{{tea.number.value()},
                                                               {walk.number.value()},
                                                               {tea.number.value()},
                                                               {walk.number.value()}}));

    // What is refused changes nothing and tells nothing.
    EXPECT_FALSE(reminders.add(Note(std::string(101, 'x'))).ok());
    EXPECT_FALSE(reminders.update(99, Note("gone")).ok());
    EXPECT_FALSE(reminders.remove(99));
    EXPECT_EQ(changes.size(), 4u);
    EXPECT_EQ(FileMessages(), std::vector<std::string>{"green tea"});
    EXPECT_TRUE(failures.empty());
}

TEST_F(RemindersTest, ChangesMadeWhileASaveRunsAreWrittenTogether) {
    // A burst (a script calling over the bus) writes the file a few times, not once a change.
    const int before = commits;
    std::vector<std::string> added;
    for (int i = 0; i < 200; ++i) {
        added.push_back("note " + std::to_string(i));
        ASSERT_TRUE(reminders.add(Note(added.back())).ok());
    }
    EXPECT_EQ(FileMessages(), added);
    EXPECT_LE(commits - before, 3);
    EXPECT_FALSE(reminders.hasUnsavedChanges());
    EXPECT_EQ(changes.size(), 200u);
}

TEST_F(RemindersTest, AFailedSaveIsToldOnceUntilOneSucceedsAndAtEveryFlush) {
    failing = true;
    ASSERT_TRUE(reminders.add(Note("tea")).ok());
    ASSERT_TRUE(reminders.add(Note("walk")).ok());
    EXPECT_TRUE(FileMessages().empty());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].startsWith(QString::fromStdString("Unable to write " + path)))
        << failures[0].toStdString();

    // The end of the program tells it again, wherever it goes then.
    reminders.flush();
    EXPECT_EQ(failures.size(), 2u);

    failing = false;
    EXPECT_TRUE(reminders.save());
    EXPECT_EQ(FileMessages(), (std::vector<std::string>{"tea", "walk"}));
    EXPECT_FALSE(reminders.hasUnsavedChanges());

    // A later failure is told again.
    failing = true;
    ASSERT_TRUE(reminders.remove(1));
    EXPECT_TRUE(reminders.waitForFile());
    EXPECT_EQ(failures.size(), 3u);
}

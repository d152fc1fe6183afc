#pragma once
// What a function that can fail returns: success (with the number of the reminder a save
// stored, where it stores one), or what failed and why, as texts for the user. The caller
// decides where and how to tell it; message() is the one-line form.

#include <cstdint>
#include <optional>
#include <string>

struct [[nodiscard]] Status {
    // The kind of a failure, for callers that decide by it what comes next.
    enum class Failure {
        None,
        // The file holds something else than the program can use: reading it again will not
        // help, and it is never written.
        WrongContent,
        // There is no file at the path.
        Missing,
        // Anything else (locked, unreadable just now, a full disk, too slow): worth another
        // try.
        Other,
    };

    Failure kind = Failure::None;
    // What failed, a sentence for the user ("Unable to write to /home/a/Chimly.ini").
    std::string error;
    // Why, in the words of the system or of the step that failed; may be empty.
    std::string reason;
    // The reminder a save stored.
    std::optional<std::int32_t> number;

    static Status failure(std::string error, Failure kind = Failure::Other) {
        return {kind, std::move(error), {}, {}};
    }
    // A failure caused by another: the cause's whole message becomes the reason, its kind
    // is kept.
    static Status failure(std::string error, const Status& cause) {
        return {cause.ok() ? Failure::Other : cause.kind, std::move(error), cause.message(), {}};
    }
    static Status stored(std::int32_t number) { return {Failure::None, {}, {}, number}; }

    bool ok() const { return kind == Failure::None; }
    explicit operator bool() const { return ok(); }
    // The whole message on one line: "error: reason", or the error alone.
    std::string message() const { return reason.empty() ? error : error + ": " + reason; }
};

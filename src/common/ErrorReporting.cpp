#include "common/ErrorReporting.h"

#include "common/ThreadState.h"
#include "common/TrappedFailure.h"

#include <limits>

namespace varkel {

namespace {

void ShowErrorBox(const Platform& platform, const Text& location, const Failure& failure) {
    MessageBoxRequest box;
    box.Message = ErrorBoxText(location, failure);
    box.Buttons = MessageBoxButtons::Ok;
    box.Icon = MessageBoxIcon::Critical;
    box.Title = CurrentThreadState().PageTitle;
    platform.MessageBoxes.Show(box);
}

} // namespace

Text ErrorBoxText(const Text& location, const Failure& failure) {
    return u"Method:\t\t" + location + u"\r\n" + u"Source:\t\t" + failure.Source + u"\r\n" +
           u"Error:\t\t" + HexText(failure.Number) + u"h   (" + DecimalText(failure.Number) + u")" +
           u"\r\n" + u"Description:\t" + failure.Description;
}

Text ErrorLogLine(const Text& method, std::int32_t number, const Text& source,
                  const Text& description) {
    return u"Error in method: " + method + u", Source: " + source + u", Error: " + HexText(number) +
           u" h   (" + DecimalText(number) + u") " + u", Description: " + description;
}

void DisplayAndLogError(const Platform& platform, const Text& location, const Failure& failure) {
    // Copies: the failure may live in storage that the box's message loop or the log call
    // replaces.
    const Failure reported = failure;
    ShowErrorBox(platform, location, reported);
    WriteToLogFile(platform,
                   ErrorLogLine(location, reported.Number, reported.Source, reported.Description));
}

void LogAndRaiseError(const Platform& platform, std::int32_t number, const Text& source,
                      const Text& description) {
    // The line names the trapping routine through the source, which ends with its location.
    WriteToLogFile(platform, ErrorLogLine(source, number, source, description));
    throw Failure(number, source, description);
}

void LogAndRaiseError(const Platform& platform, const Failure& failure, const Text& location) {
    LogAndRaiseError(platform, failure.Number, failure.Source + location, failure.Description);
}

std::int16_t WriteToLogFile(const Platform& platform, const Text& message) {
    try {
        const auto status = platform.Log.FormPutLog(message, CurrentThreadState().LogPrefix);
        if (status < std::numeric_limits<std::int16_t>::min() ||
            status > std::numeric_limits<std::int16_t>::max()) {
            throw Failures::Overflow();
        }
        return static_cast<std::int16_t>(status);
    } catch (const std::exception& error) {
        ShowErrorBox(platform, WriteToLogFileLocation, AsTrappedFailure(error));
    }
    return -1;
}

} // namespace varkel

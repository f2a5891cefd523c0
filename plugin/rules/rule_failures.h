// RuleFailures: what of one settings delivery did not reach the camera, collected while
// the rule writers run, and the message the delivery's error result carries to the host.
//
// Not thread-safe: one delivery fills one collector on the host thread that delivers it.

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

class RuleFailures
{
public:
    // A Camera SDK call for `kind` failed: `operation` as the error lines say it ("write
    // the rules"), the Camera SDK's last error, and what followed from it ("" when nothing
    // else did, or e.g. "the camera's switches were left unchanged").
    void add(RuleKind kind, const char* operation, int32_t lastError, const char* consequence);

    // Nothing reached the camera: `reason` says why ("there is no camera session").
    void addReason(std::string reason);

    // The rules of `kind` were not written: the setting `key` holds `value`, which is not a
    // number.
    void addNotANumber(RuleKind kind, const std::string& key, const std::string& value);

    // `kind` was asked to be switched on and was not: `why` says why ("it is in none of the
    // camera's combination groups").
    void addNotSwitchedOn(RuleKind kind, const std::string& why);

    bool empty() const { return m_parts.empty(); }

    // "The settings did not all reach the camera <address>: " and each failure, in the
    // order they happened. REQUIRES: !empty().
    std::string message(const std::string& cameraAddress) const;

private:
    std::vector<std::string> m_parts;
};

}  // namespace nx::vms_server_plugins::analytics::sample

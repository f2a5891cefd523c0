// LibContext: the library's name and the host's ref-countable registry, one per process.
//
// Created on first use with thread-safe one-time initialisation. The two setters serialise
// on the context mutex; readers (print prefixes, every object constructor) do not lock,
// because the host sets both during loading, before it creates any plugin object.

#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <nx/sdk/i_lib_context.h>

namespace nx::sdk
{

class LibContext : public ImplementsDestructorSlot<ILibContext>
{
public:
    static constexpr const char* kDefaultName = "unnamed_lib_context";
    static constexpr const char* kIncorrectName = "incorrectly_named_lib_context";

    LibContext() = default;
    ~LibContext() = default;

    void setName(const char* name) override;
    void setRefCountableRegistry(IRefCountableRegistry* refCountableRegistry) override;

    // The library name; read without locking (see the header comment).
    const std::string& name() const { return m_name; }

    // The installed registry or null; read without locking.
    IRefCountableRegistry* refCountableRegistry() const { return m_refCountableRegistry.get(); }

private:
    // The registry is the host's object: it is deleted through its own slot 0.
    struct RegistryDeleter
    {
        void operator()(IRefCountableRegistry* registry) const { deleteInterfaceObject(registry); }
    };

    std::string m_name = kDefaultName;
    std::unique_ptr<IRefCountableRegistry, RegistryDeleter> m_refCountableRegistry;
    std::mutex m_mutex;
};

// The process-wide context, the same object that nxLibContext() returns.
LibContext& libContext();

}  // namespace nx::sdk

namespace nx::sdk
{

// A copy of the options the host's test harness last passed to nxSetUnitTestOptions.
std::map<std::string, std::string> unitTestOptions();

}  // namespace nx::sdk

#include "plugin.h"

#include <nx/kit/debug.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/lib_context.h>
#include <nx/sdk/helpers/string.h>

namespace nx::sdk::analytics
{

namespace
{

void printPluginLine(const char* text)
{
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << text;
}

void printErrorLine(const std::string& message)
{
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << "ERROR: " << libContext().name() << ": " << message;
}

}  // namespace

Plugin::Plugin() : Plugin(std::string(), CreateEngine()) {}

Plugin::Plugin(std::string pluginManifest, CreateEngine createEngine)
    : m_pluginManifest(std::move(pluginManifest)), m_createEngine(std::move(createEngine))
{
    printCreatedOrDestroyed("Created");
}

Plugin::~Plugin()
{
    printCreatedOrDestroyed("Destroyed");
}

void Plugin::printCreatedOrDestroyed(const char* what) const
{
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX)
        << what << " IPlugin @" << nx::kit::debug::toDiagnosticText(static_cast<const void*>(this))
        << " of " << libContext().name();
}

void Plugin::setHostObject(IRefCountable* hostObject)
{
    m_hostObject = shareToPtr(hostObject);
}

void Plugin::getManifest(Result<const IString*>* outResult) const
{
    const std::string manifest = m_pluginManifest.empty() ? manifestString() : m_pluginManifest;
    *outResult = Result<const IString*>(new String(manifest));
}

void Plugin::doCreateEngine(Result<IEngine*>* outResult)
{
    if (m_createEngine)
    {
        if (IEngine* engine = m_createEngine(this))
        {
            *outResult = Result<IEngine*>(engine);
            return;
        }
        static const char kMessage[] = "Unable to create Engine";
        printErrorLine(kMessage);
        *outResult = Result<IEngine*>(error(ErrorCode::otherError, kMessage));
        return;
    }

    *outResult = doObtainEngine();
    const Error& resultError = outResult->error;
    if (resultError.errorCode != ErrorCode::noError || resultError.errorMessage)
        printErrorLine(resultError.errorMessage ? resultError.errorMessage->str() : "");
}

Result<IEngine*> Plugin::doObtainEngine()
{
    static const char kMessage[] =
        "Either doObtainEngine() should be overridden, or the constructor with createEngine "
        "argument (deprecated) should be called.";
    nx::kit::debug::reportAssertionFailure(printPluginLine, "false", kMessage, __FILE__, __LINE__);
    return error(ErrorCode::internalError, kMessage);
}

std::string Plugin::manifestString() const
{
    nx::kit::debug::reportAssertionFailure(
        printPluginLine, "false",
        "Either manifestString() should be overridden, or the constructor with pluginManifest "
        "argument (deprecated) should be called.",
        __FILE__, __LINE__);
    return std::string();
}

}  // namespace nx::sdk::analytics

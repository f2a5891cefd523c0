// msvc_abi_host: a host built with the Microsoft C++ ABI, as a Windows server is, that drives
// the plugin DLL through the interface slots alone.
//
// Built by Clang for x86_64-pc-windows-msvc, freestanding: no C or C++ runtime, only the
// project's interface headers and a few kernel32 functions. Its own objects (registry,
// device information, handlers, settings, action) are laid out by the Microsoft ABI, so every
// call the plugin makes into them and every call made into the plugin checks the DLL's
// layout: slot 0 as one deleting destructor, the operations after it, and structures
// returned by value through a buffer passed after `this`. It prints one line per check and
// exits with 0 when all pass; the plugin's diagnostics go to the standard error stream.

#include <stdint.h>

#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/analytics/i_event_metadata.h>
#include <nx/sdk/analytics/i_event_metadata_packet.h>
#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/i_lib_context.h>

#include "ostrel_sdk/ostrel_control_c.h"

static_assert(!NX_SDK_EXPLICIT_MICROSOFT_LAYOUT, "the host's compiler lays the tables out itself");

using Size = decltype(sizeof(0));

// ---- The kernel32 functions used, and what the compiler expects of a runtime ----

extern "C"
{
    __declspec(dllimport) void* LoadLibraryA(const char* name);
    __declspec(dllimport) int FreeLibrary(void* module);
    __declspec(dllimport) void* GetProcAddress(void* module, const char* name);
    __declspec(dllimport) void* GetStdHandle(uint32_t which);
    __declspec(dllimport) int WriteFile(void* file, const void* data, uint32_t size,
                                        uint32_t* written, void* overlapped);
    __declspec(dllimport) void* GetProcessHeap();
    __declspec(dllimport) void* HeapAlloc(void* heap, uint32_t flags, Size size);
    __declspec(dllimport) int HeapFree(void* heap, uint32_t flags, void* memory);
    __declspec(dllimport) void Sleep(uint32_t milliseconds);
    __declspec(dllimport) __declspec(noreturn) void ExitProcess(uint32_t exitCode);

    int _fltused = 0;

    void* memset(void* destination, int value, Size size)
    {
        auto* bytes = static_cast<volatile unsigned char*>(destination);
        for (Size i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(value);
        return destination;
    }

    void* memcpy(void* destination, const void* source, Size size)
    {
        auto* to = static_cast<volatile unsigned char*>(destination);
        const auto* from = static_cast<const unsigned char*>(source);
        for (Size i = 0; i < size; ++i)
            to[i] = from[i];
        return destination;
    }
}

namespace
{

void write(const char* text)
{
    uint32_t length = 0;
    while (text[length] != '\0')
        ++length;
    uint32_t written = 0;
    WriteFile(GetStdHandle(/*STD_OUTPUT_HANDLE*/ static_cast<uint32_t>(-11)), text, length,
              &written, nullptr);
}

void writeNumber(int64_t value)
{
    char digits[24];
    int end = sizeof(digits) - 1;
    digits[end] = '\0';
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do
    {
        digits[--end] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        digits[--end] = '-';
    write(digits + end);
}

int g_failures = 0;

// Prints the outcome of one check.
void check(bool passed, const char* what)
{
    write(passed ? "ok    " : "FAIL  ");
    write(what);
    write("\n");
    if (!passed)
        ++g_failures;
}

bool same(const char* a, const char* b)
{
    if (!a || !b)
        return a == b;
    while (*a != '\0' && *a == *b)
    {
        ++a;
        ++b;
    }
    return *a == *b;
}

bool contains(const char* text, const char* part)
{
    if (!text)
        return false;
    for (; *text != '\0'; ++text)
    {
        const char* t = text;
        const char* p = part;
        while (*p != '\0' && *t == *p)
        {
            ++t;
            ++p;
        }
        if (*p == '\0')
            return true;
    }
    return false;
}

template <typename T>
T atomicLoad(const T* value)
{
    return __atomic_load_n(value, __ATOMIC_SEQ_CST);
}

template <typename T>
T atomicAdd(T* value, T delta)
{
    return __atomic_add_fetch(value, delta, __ATOMIC_SEQ_CST);
}

void* g_lastFreed = nullptr;

}  // namespace

void* operator new(Size size)
{
    void* const memory = HeapAlloc(GetProcessHeap(), 0, size);
    if (!memory)
        ExitProcess(3);
    return memory;
}

void operator delete(void* memory) noexcept
{
    g_lastFreed = memory;
    HeapFree(GetProcessHeap(), 0, memory);
}

void operator delete(void* memory, Size) noexcept
{
    operator delete(memory);
}

extern "C" int _purecall()
{
    write("FAIL  a pure virtual operation was called\n");
    ExitProcess(4);
}

namespace
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

// ---- The host's objects ----

int g_hostObjectsAlive = 0;

// A ref-countable host object answering the ids of `Interface` and of IRefCountable.
template <class Interface>
class HostObject : public Interface
{
public:
    HostObject() { atomicAdd(&g_hostObjectsAlive, 1); }

    IRefCountable* queryInterface(const char* id) override
    {
        if (!same(id, Interface::interfaceId()) && !same(id, IRefCountable::interfaceId()))
            return nullptr;
        addRef();
        return this;
    }

    int32_t addRef() const override { return atomicAdd(&m_refCount, 1); }

    int32_t releaseRef() const override
    {
        const int32_t count = atomicAdd(&m_refCount, -1);
        if (count == 0)
            delete this;
        return count;
    }

    int32_t refCount() const { return atomicLoad(&m_refCount); }

protected:
    ~HostObject() override { atomicAdd(&g_hostObjectsAlive, -1); }

private:
    mutable int32_t m_refCount = 1;
};

// Watches the plugin's objects; deleted by the library context through its slot 0.
class Registry final : public IRefCountableRegistry
{
public:
    static constexpr int kCapacity = 256;

    ~Registry() override { s_destroyed = this; }

    void notifyCreated(const IRefCountable* object, int32_t refCount) override
    {
        lock();
        atomicAdd(&m_created, 1);
        if (refCount != 1 || !insert(object))
            atomicAdd(&m_bad, 1);
        unlock();
    }

    void notifyDestroyed(const IRefCountable* object, int32_t /*refCount*/) override
    {
        lock();
        if (!erase(object))
            atomicAdd(&m_bad, 1);
        unlock();
    }

    int alive() const { return atomicLoad(&m_alive); }
    int created() const { return atomicLoad(&m_created); }
    int bad() const { return atomicLoad(&m_bad); }

    static Registry* s_destroyed;

private:
    void lock()
    {
        while (__atomic_test_and_set(&m_locked, __ATOMIC_ACQUIRE))
            Sleep(0);
    }
    void unlock() { __atomic_clear(&m_locked, __ATOMIC_RELEASE); }

    bool insert(const IRefCountable* object)
    {
        for (const IRefCountable*& slot : m_live)
        {
            if (!slot)
            {
                slot = object;
                atomicAdd(&m_alive, 1);
                return true;
            }
        }
        return false;
    }

    bool erase(const IRefCountable* object)
    {
        for (const IRefCountable*& slot : m_live)
        {
            if (slot == object)
            {
                slot = nullptr;
                atomicAdd(&m_alive, -1);
                return true;
            }
        }
        return false;
    }

    const IRefCountable* m_live[kCapacity] = {};
    bool m_locked = false;
    int m_alive = 0;
    int m_created = 0;
    int m_bad = 0;
};

Registry* Registry::s_destroyed = nullptr;

// A fixed, key-ordered map of texts.
class StringMap final : public HostObject<IStringMap>
{
public:
    static constexpr int kCapacity = 4;

    // REQUIRES: keys are added in ascending order, at most kCapacity of them.
    void add(const char* key, const char* value)
    {
        m_keys[m_count] = key;
        m_values[m_count] = value;
        ++m_count;
    }

    int count() const override { return m_count; }
    const char* key(int i) const override { return inRange(i) ? m_keys[i] : nullptr; }
    const char* value(const char* key) const override
    {
        for (int i = 0; i < m_count; ++i)
        {
            if (same(key, m_keys[i]))
                return m_values[i];
        }
        return nullptr;
    }
    const char* valueAt(int i) const override { return inRange(i) ? m_values[i] : nullptr; }

private:
    bool inRange(int i) const { return i >= 0 && i < m_count; }

    const char* m_keys[kCapacity] = {};
    const char* m_values[kCapacity] = {};
    int m_count = 0;
};

constexpr const char* kCameraAddress = "10.20.30.40";
constexpr int32_t kCameraPort = 8000;

class DeviceInfo final : public HostObject<IDeviceInfo>
{
public:
    const char* id() const override { return "{5E1F0C2A-0000-4000-8000-00000000ABCD}"; }
    const char* vendor() const override { return "Korvane"; }
    const char* model() const override { return "KV-2000"; }
    const char* firmware() const override { return "1.0"; }
    const char* name() const override { return "abi camera"; }
    const char* url() const override { return "http://10.20.30.40:8000/"; }
    const char* login() const override { return "admin"; }
    const char* password() const override { return "secret"; }
    const char* sharedId() const override { return ""; }
    const char* logicalId() const override { return "1"; }
    int32_t channelNumber() const override { return 0; }
};

class EngineInfo final : public HostObject<IEngineInfo>
{
public:
    const char* id() const override { return "abi_engine"; }
    const char* name() const override { return "ABI engine"; }
};

class EngineHandler final : public HostObject<IEngineHandler>
{
public:
    void handlePluginDiagnosticEvent(const char*, const char*, const char*) override {}
};

constexpr int64_t kAlarmTimeSeconds = 1765000000;

// Counts what the device agent delivers; called on the Camera SDK's threads too.
class DeviceAgentHandler final : public HostObject<IDeviceAgentHandler>
{
public:
    void handleMetadata(IMetadataPacket* packet) override
    {
        atomicAdd(&m_packets, 1);
        auto* events = static_cast<IEventMetadataPacket*>(
            packet->queryInterface(IEventMetadataPacket::interfaceId()));
        if (!events)
            return;
        for (int i = 0; i < events->count(); ++i)
            countEvent(events->at(i), events->timestampUs());
        events->releaseRef();
    }

    void handlePluginDiagnosticEvent(const char*, const char*, const char*) override {}

    void pushManifest(const IString* manifest) override
    {
        if (manifest && contains(manifest->str(), "\"eventTypes\""))
            atomicAdd(&m_manifests, 1);
    }

    int motionEvents() const { return atomicLoad(&m_motionEvents); }
    int manifests() const { return atomicLoad(&m_manifests); }

private:
    void countEvent(const IMetadata* item, int64_t timestampUs)
    {
        if (!item)
            return;
        auto* event = static_cast<IEventMetadata*>(
            const_cast<IMetadata*>(item)->queryInterface(IEventMetadata::interfaceId()));
        if (event && same(event->typeId(), "Motion") && same(event->caption(), "MoveDetect") &&
            event->isActive() && timestampUs == kAlarmTimeSeconds * 1000000)
        {
            atomicAdd(&m_motionEvents, 1);
        }
        if (event)
            event->releaseRef();
        item->releaseRef();
    }

    int m_packets = 0;
    int m_motionEvents = 0;
    int m_manifests = 0;
};

class ObjectTrackInfo final : public HostObject<IObjectTrackInfo>
{
};

constexpr uint32_t kActionMagic = 0xAC71A9u;

// An action whose identifiers come back by value: the plugin must pass `this` first and
// the result buffer second, or these operations see a wrong object.
class Action final : public HostObject<IAction>
{
public:
    Action(ObjectTrackInfo* trackInfo, StringMap* params) : m_trackInfo(trackInfo), m_params(params)
    {
    }

    const char* actionId() const override { return seen(&m_actionIdCalls) ? "abi.action" : ""; }

    Uuid objectTrackId() const override
    {
        seen(&m_objectTrackIdCalls);
        return Uuid(Uuid::Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA,
                                0xBB, 0xCC, 0xDD, 0xEE, 0xFF});
    }

    Uuid deviceId() const override
    {
        seen(&m_deviceIdCalls);
        return Uuid(Uuid::Bytes{0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78, 0x87, 0x96, 0xA5,
                                0xB4, 0xC3, 0xD2, 0xE1, 0xF0});
    }

    IObjectTrackInfo* objectTrackInfo() const override
    {
        seen(&m_otherCalls);
        m_trackInfo->addRef();
        return m_trackInfo;
    }

    int64_t timestampUs() const override { return seen(&m_otherCalls) ? 123456 : 0; }

    const IStringMap* params() const override
    {
        seen(&m_otherCalls);
        m_params->addRef();
        return m_params;
    }

    int objectTrackIdCalls() const { return m_objectTrackIdCalls; }
    int deviceIdCalls() const { return m_deviceIdCalls; }
    static int wrongObjectCalls() { return s_wrongObjectCalls; }

private:
    // Counts a call; false (and a wrong-object call) when `this` is not this action.
    bool seen(int* calls) const
    {
        if (m_magic != kActionMagic)
        {
            ++s_wrongObjectCalls;
            return false;
        }
        ++*calls;
        return true;
    }

    const uint32_t m_magic = kActionMagic;
    ObjectTrackInfo* const m_trackInfo;
    StringMap* const m_params;
    mutable int m_actionIdCalls = 0;
    mutable int m_objectTrackIdCalls = 0;
    mutable int m_deviceIdCalls = 0;
    mutable int m_otherCalls = 0;
    static int s_wrongObjectCalls;
};

int Action::s_wrongObjectCalls = 0;

// ---- Checks through the plugin's slots ----

// Every id in `ids` gives the same object with one reference more; an unknown id gives null.
void checkInterfaceIds(IRefCountable* object, const char* const* ids, int idCount, const char* what)
{
    bool allAnswered = true;
    bool countsRight = true;
    for (int i = 0; i < idCount; ++i)
    {
        IRefCountable* const answer = object->queryInterface(ids[i]);
        allAnswered = allAnswered && answer == object;
        if (!answer)
            continue;
        countsRight = countsRight && answer->addRef() == 3 && answer->releaseRef() == 2 &&
                      answer->releaseRef() == 1;
    }
    check(allAnswered, what);
    check(countsRight, "  each query added one reference, addRef/releaseRef counted exactly");
    check(object->queryInterface("nx::sdk::analytics::IUnknown") == nullptr,
          "  an unknown id gives null");
}

bool manifestStartsWithBrace(const Result<const IString*>& manifest, const char* mustContain)
{
    if (!manifest.isOk() || !manifest.value)
        return false;
    const char* const text = manifest.value->str();
    const bool good = text && text[0] == '{' && contains(text, mustContain);
    return manifest.value->releaseRef() == 0 && good;
}

template <typename Value>
bool succeeded(const Result<Value>& result)
{
    return result.error.errorCode == ErrorCode::noError && result.error.errorMessage == nullptr;
}

void releaseSettingsResponse(const Result<const ISettingsResponse*>& result)
{
    if (result.value)
        result.value->releaseRef();
}

template <typename Function>
Function entryPoint(void* module, const char* name)
{
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}

struct CameraControl
{
    decltype(&ostrelControlAddCamera) addCamera = nullptr;
    decltype(&ostrelControlRaiseAlarm) raiseAlarm = nullptr;
    decltype(&ostrelControlWaitForAllDeliveries) waitForAllDeliveries = nullptr;
    decltype(&ostrelControlRemoveCamera) removeCamera = nullptr;
    decltype(&ostrelControlLiveSessionCount) liveSessionCount = nullptr;
};

void driveDeviceAgent(IEngine* engine, DeviceInfo* deviceInfo, const CameraControl& camera,
                      int cameraId)
{
    Result<IDeviceAgent*> agentResult;
    engine->doObtainDeviceAgent(&agentResult, deviceInfo);
    check(succeeded(agentResult) && agentResult.value, "the engine creates a device agent");
    if (!agentResult.value)
        return;
    IDeviceAgent* const agent = agentResult.value;
    static const char* const kAgentIds[] = {
        "nx::sdk::analytics::IConsumingDeviceAgent2", "nx::sdk::analytics::IConsumingDeviceAgent1",
        "nx::sdk::analytics::IConsumingDeviceAgent", "nx::sdk::analytics::IDeviceAgent",
        "nx::sdk::IRefCountable"};
    checkInterfaceIds(agent, kAgentIds, 5, "the device agent answers its five ids");

    DeviceAgentHandler* const handler = new DeviceAgentHandler();
    agent->setHandler(handler);
    check(handler->refCount() == 2, "the agent keeps a reference to its handler");

    Result<const IString*> manifest;
    agent->getManifest(&manifest);
    check(manifestStartsWithBrace(manifest, "\"Motion\""), "device-agent manifest");

    StringMap* const settings = new StringMap();
    settings->add("generateEvents", "true");
    Result<const ISettingsResponse*> settingsResult;
    agent->doSetSettings(&settingsResult, settings);
    check(succeeded(settingsResult), "the agent takes its settings");
    releaseSettingsResponse(settingsResult);
    check(handler->manifests() == 1, "the settings push the manifest again to the handler");

    camera.raiseAlarm(cameraId, /*motion*/ 1, kAlarmTimeSeconds);
    check(camera.waitForAllDeliveries(cameraId, 10000) != 0, "the camera delivers an alarm");
    check(handler->motionEvents() == 1,
          "the handler receives one Motion event with the alarm's time, on the camera's thread");

    auto* consuming = static_cast<IConsumingDeviceAgent*>(
        agent->queryInterface(IConsumingDeviceAgent::interfaceId()));
    if (consuming)
    {
        consuming->finalize();
        consuming->releaseRef();
    }
    check(agent->releaseRef() == 0, "releasing the agent destroys it");
    check(camera.liveSessionCount() == 0, "the agent logged out of the camera");
    check(handler->releaseRef() == 0 && settings->releaseRef() == 0,
          "the agent released the handler and the settings");
}

void executeAction(IEngine* engine)
{
    ObjectTrackInfo* const trackInfo = new ObjectTrackInfo();
    StringMap* const params = new StringMap();
    params->add("speed", "fast");
    Action* const action = new Action(trackInfo, params);
    Result<IActionResult*> result;
    engine->doExecuteAction(&result, action);
    check(succeeded(result) && result.value == nullptr,
          "the engine executes the host's action: no error, no result object");
    check(action->objectTrackIdCalls() >= 1 && action->deviceIdCalls() >= 1 &&
              Action::wrongObjectCalls() == 0,
          "the track and device ids (slots 5, 6) are read by value, `this` before the buffer");
    check(trackInfo->refCount() == 1 && params->refCount() == 1,
          "the track information and the parameters are released after the call");
    check(action->releaseRef() == 0 && trackInfo->releaseRef() == 0 && params->releaseRef() == 0,
          "the action's objects are the host's alone again");
}

int run()
{
    void* const cameraSdk = LoadLibraryA("OstrelSDK.dll");
    check(cameraSdk != nullptr, "OstrelSDK.dll loads");
    void* const library = LoadLibraryA("korvane_event_analytics_plugin.dll");
    check(library != nullptr, "korvane_event_analytics_plugin.dll loads");
    if (!cameraSdk || !library)
        return 1;

    CameraControl camera;
    camera.addCamera = entryPoint<decltype(camera.addCamera)>(cameraSdk, "ostrelControlAddCamera");
    camera.raiseAlarm =
        entryPoint<decltype(camera.raiseAlarm)>(cameraSdk, "ostrelControlRaiseAlarm");
    camera.waitForAllDeliveries = entryPoint<decltype(camera.waitForAllDeliveries)>(
        cameraSdk, "ostrelControlWaitForAllDeliveries");
    camera.removeCamera =
        entryPoint<decltype(camera.removeCamera)>(cameraSdk, "ostrelControlRemoveCamera");
    camera.liveSessionCount =
        entryPoint<decltype(camera.liveSessionCount)>(cameraSdk, "ostrelControlLiveSessionCount");

    const auto createNxPlugin = entryPoint<nx::sdk::IPlugin* (*)()>(library, "createNxPlugin");
    const auto nxLibContext = entryPoint<ILibContext* (*)()>(library, "nxLibContext");
    const auto nxSdkVersion = entryPoint<const char* (*)()>(library, "nxSdkVersion");
    check(createNxPlugin && nxLibContext && nxSdkVersion &&
              entryPoint<void (*)()>(library, "nxSetUnitTestOptions"),
          "the four entry points are exported by name");
    if (!createNxPlugin || !nxLibContext || !nxSdkVersion || !camera.addCamera ||
        !camera.raiseAlarm || !camera.waitForAllDeliveries || !camera.removeCamera ||
        !camera.liveSessionCount)
    {
        return 1;
    }
    check(same(nxSdkVersion(), "5.1.2 R2"), "nxSdkVersion answers 5.1.2 R2");

    ILibContext* const context = nxLibContext();
    context->setName("korvane_abi_host");
    Registry* const registry = new Registry();
    context->setRefCountableRegistry(registry);

    const int cameraId = camera.addCamera(kCameraAddress, kCameraPort, "admin", "secret");

    nx::sdk::IPlugin* const basePlugin = createNxPlugin();
    check(basePlugin != nullptr && registry->alive() == 1,
          "createNxPlugin gives the plugin, and the registry sees it");
    if (!basePlugin)
        return 1;
    static const char* const kPluginIds[] = {"nx::sdk::analytics::IPlugin", "nx::sdk::IPlugin",
                                             "nx::sdk::IRefCountable"};
    checkInterfaceIds(basePlugin, kPluginIds, 3, "the plugin answers its three ids");
    auto* const plugin = static_cast<analytics::IPlugin*>(
        basePlugin->queryInterface(analytics::IPlugin::interfaceId()));
    HostObject<IRefCountable>* const hostObject = new HostObject<IRefCountable>();
    plugin->setHostObject(hostObject);
    check(hostObject->refCount() == 2, "the plugin keeps a reference to the host object");

    Result<const IString*> manifest;
    plugin->getManifest(&manifest);
    check(manifestStartsWithBrace(manifest, "Korvane events analytics"), "plugin manifest");

    Result<IEngine*> engineResult;
    plugin->doCreateEngine(&engineResult);
    check(succeeded(engineResult) && engineResult.value, "the plugin creates an engine");
    IEngine* const engine = engineResult.value;
    if (engine)
    {
        static const char* const kEngineIds[] = {"nx::sdk::analytics::IEngine1",
                                                 "nx::sdk::analytics::IEngine",
                                                 "nx::sdk::IRefCountable"};
        checkInterfaceIds(engine, kEngineIds, 3, "the engine answers its three ids");
        EngineInfo* const engineInfo = new EngineInfo();
        EngineHandler* const engineHandler = new EngineHandler();
        engine->setEngineInfo(engineInfo);
        engine->setHandler(engineHandler);
        engine->getManifest(&manifest);
        check(manifestStartsWithBrace(manifest, "compressedVideo"), "engine manifest");

        DeviceInfo* const deviceInfo = new DeviceInfo();
        check(engine->isCompatible(deviceInfo), "the engine serves the camera");
        driveDeviceAgent(engine, deviceInfo, camera, cameraId);
        executeAction(engine);

        check(engine->releaseRef() == 0, "releasing the engine destroys it");
        check(engineHandler->releaseRef() == 0 && engineInfo->releaseRef() == 0 &&
                  deviceInfo->releaseRef() == 0,
              "the engine released the handler; the engine information was borrowed");
    }
    check(plugin->releaseRef() == 1 && basePlugin->releaseRef() == 0,
          "releasing the plugin destroys it");
    check(hostObject->releaseRef() == 0, "the plugin released the host object");
    check(registry->alive() == 0 && registry->bad() == 0 && registry->created() > 3,
          "the registry saw every plugin object created once and destroyed once");
    write("      plugin objects created: ");
    writeNumber(registry->created());
    write("\n");

    camera.removeCamera(cameraId);
    check(FreeLibrary(library) != 0, "the plugin DLL unloads");
    check(Registry::s_destroyed == registry && g_lastFreed == registry,
          "the library context deleted the registry through its slot 0, freeing it");
    check(atomicLoad(&g_hostObjectsAlive) == 0, "no host object is left");
    return g_failures == 0 ? 0 : 1;
}

}  // namespace

extern "C" void hostMain()
{
    const int exitCode = run();
    write(exitCode == 0 ? "ABI host: all checks passed\n" : "ABI host: checks failed\n");
    ExitProcess(static_cast<uint32_t>(exitCode));
}

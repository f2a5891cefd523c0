#include "json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>
#include <utility>
#include <variant>

#include <nlohmann/json.hpp>

#include "immortal.h"

namespace nx::kit
{

// The contents of a string, array or object; numbers and booleans need none.
struct Json::Value
{
    using Data = std::variant<std::string, Array, Object>;

    template <typename... Args>
    explicit Value(Args&&... args) : data(std::forward<Args>(args)...)
    {
    }

    Data data;
};

namespace
{

// Shared constants; never destroyed, so they stay usable during static destruction (and
// kept on purpose when the library that holds them is unloaded).
const std::string& emptyString()
{
    static const std::string* const kValue = makeImmortal(new std::string());
    return *kValue;
}

const Json::Array& emptyArray()
{
    static const Json::Array* const kValue = makeImmortal(new Json::Array());
    return *kValue;
}

const Json::Object& emptyObject()
{
    static const Json::Object* const kValue = makeImmortal(new Json::Object());
    return *kValue;
}

const Json& nullJson()
{
    static const Json* const kValue = makeImmortal(new Json());
    return *kValue;
}

//-------------------------------------------------------------------------------------------------
// Parsing: nlohmann's parser reports the text as events; this builder turns them into values
// and stops the parse when containers nest too deep. The parser itself keeps its state on the
// heap, so deeply nested input cannot exhaust the stack.

// Why the text is not JSON although nlohmann's parser would take it, or null: the parser skips
// a leading byte-order mark and takes a NUL byte for the end of the text. A NUL byte is
// never valid JSON: outside strings it is no token, inside them an unescaped control byte.
const char* rejectedByteError(const std::string& text)
{
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return "byte-order mark before the value";
    if (text.find('\0') != std::string::npos)
        return "NUL byte in the text";
    return nullptr;
}

// nlohmann's messages start with an id in brackets; the rest is the description.
std::string withoutMessageId(const std::string& message)
{
    if (message.empty() || message[0] != '[')
        return message;
    const size_t end = message.find("] ");
    return end == std::string::npos ? message : message.substr(end + 2);
}

class ValueBuilder
{
public:
    // Room for the nesting of usual texts (a figure text is four levels deep), so that the
    // frames are not moved as the text opens levels.
    ValueBuilder() { m_frames.reserve(8); }

    bool null() { return add(Json()); }
    bool boolean(bool value) { return add(Json(value)); }
    bool number_integer(std::int64_t value) { return add(Json(static_cast<double>(value))); }
    bool number_unsigned(std::uint64_t value) { return add(Json(static_cast<double>(value))); }
    bool number_float(double value, const std::string& /*text*/) { return add(Json(value)); }
    bool string(std::string& value) { return add(Json(std::move(value))); }

    // Binary values exist only in binary formats, never in a JSON text.
    bool binary(nlohmann::json::binary_t& /*value*/) { return fail("unexpected binary value"); }

    bool start_object(std::size_t /*size*/) { return open(/*isObject*/ true); }
    bool key(std::string& key)
    {
        m_frames.back().key = std::move(key);
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t /*size*/) { return open(/*isObject*/ false); }
    bool end_array() { return close(); }

    bool parse_error(std::size_t /*position*/, const std::string& /*lastToken*/,
                     const nlohmann::json::exception& error)
    {
        return fail(withoutMessageId(error.what()));
    }

    Json takeResult() { return std::move(m_result); }
    const std::string& errorText() const { return m_errorText; }

private:
    // An array or object whose items are being read.
    struct Frame
    {
        bool isObject = false;
        Json::Array items;
        Json::Object members;
        std::string key;
    };

    // The open frames are the arrays and objects around the value that starts. As in json11,
    // a value fails inside more than kMaxNestingDepth of them, so the innermost of
    // kMaxNestingDepth + 1 nested containers may only be empty. Checking as each value starts
    // also keeps the frames from growing with the text.
    bool checkDepth()
    {
        if (m_frames.size() <= static_cast<size_t>(Json::kMaxNestingDepth))
            return true;
        return fail("nesting too deep: a value inside more than " +
                    std::to_string(Json::kMaxNestingDepth) + " arrays and objects");
    }

    bool open(bool isObject)
    {
        if (!checkDepth())
            return false;
        m_frames.emplace_back();
        Frame& frame = m_frames.back();
        frame.isObject = isObject;
        if (!isObject)
            frame.items.reserve(4);  //< Points and short lists fit without growing.
        return true;
    }

    bool close()
    {
        Frame frame = std::move(m_frames.back());
        m_frames.pop_back();
        return add(frame.isObject ? Json(std::move(frame.members)) : Json(std::move(frame.items)));
    }

    bool add(Json value)
    {
        if (!checkDepth())
            return false;
        if (m_frames.empty())
        {
            m_result = std::move(value);
            return true;
        }
        Frame& frame = m_frames.back();
        if (frame.isObject)  //< A repeated key keeps its last value.
            frame.members.insert_or_assign(std::move(frame.key), std::move(value));
        else
            frame.items.push_back(std::move(value));
        return true;
    }

    bool fail(std::string errorText)
    {
        m_errorText = std::move(errorText);
        return false;
    }

private:
    std::vector<Frame> m_frames;
    Json m_result;
    std::string m_errorText;
};

}  // namespace

//-------------------------------------------------------------------------------------------------
// Json

Json::Json(double value) : m_type(Type::kNumber), m_scalar(value) {}

Json::Json(int value) : Json(static_cast<double>(value)) {}

Json::Json(bool value) : m_type(Type::kBool), m_scalar(value ? 1.0 : 0.0) {}

Json::Json(const std::string& value)
    : m_type(Type::kString),
      m_value(std::make_shared<const Value>(std::in_place_type<std::string>, value))
{
}

Json::Json(std::string&& value)
    : m_type(Type::kString),
      m_value(std::make_shared<const Value>(std::in_place_type<std::string>, std::move(value)))
{
}

Json::Json(const char* value)
{
    if (value)
        *this = Json(std::string(value));
}

Json::Json(const Array& values)
    : m_type(Type::kArray),
      m_value(std::make_shared<const Value>(std::in_place_type<Array>, values))
{
}

Json::Json(Array&& values)
    : m_type(Type::kArray),
      m_value(std::make_shared<const Value>(std::in_place_type<Array>, std::move(values)))
{
}

Json::Json(const Object& values)
    : m_type(Type::kObject),
      m_value(std::make_shared<const Value>(std::in_place_type<Object>, values))
{
}

Json::Json(Object&& values)
    : m_type(Type::kObject),
      m_value(std::make_shared<const Value>(std::in_place_type<Object>, std::move(values)))
{
}

Json::Json(Json&& other) noexcept
    : m_type(std::exchange(other.m_type, Type::kNull)),
      m_scalar(std::exchange(other.m_scalar, 0.0)),
      m_value(std::move(other.m_value))
{
}

Json& Json::operator=(Json&& other) noexcept
{
    if (this != &other)
    {
        m_type = std::exchange(other.m_type, Type::kNull);
        m_scalar = std::exchange(other.m_scalar, 0.0);
        m_value = std::move(other.m_value);
    }
    return *this;
}

Json Json::parse(const std::string& text, std::string* errorText)
{
    bool parsed = false;
    std::string error;
    Json result;
    if (const char* rejected = rejectedByteError(text))
    {
        if (errorText)
            *errorText = rejected;
        return result;
    }
    try
    {
        ValueBuilder builder;
        parsed = nlohmann::json::sax_parse(text, &builder);
        if (parsed)
            result = builder.takeResult();
        else
            error = builder.errorText();
    }
    catch (const std::exception& e)
    {
        parsed = false;
        error = e.what();
    }
    catch (...)
    {
        parsed = false;
    }

    if (!parsed && error.empty())
        error = "invalid JSON text";
    if (errorText)
        *errorText = parsed ? std::string() : error;
    return parsed ? result : Json();
}

template <typename T>
const T* Json::valueIf() const
{
    return m_value ? std::get_if<T>(&m_value->data) : nullptr;
}

Json::Type Json::type() const
{
    return m_type;
}

double Json::numberValue() const
{
    return m_type == Type::kNumber ? m_scalar : 0.0;
}

bool Json::boolValue() const
{
    return m_type == Type::kBool && m_scalar != 0.0;
}

const std::string& Json::stringValue() const
{
    const std::string* value = valueIf<std::string>();
    return value ? *value : emptyString();
}

const Json::Array& Json::arrayItems() const
{
    const Array* value = valueIf<Array>();
    return value ? *value : emptyArray();
}

const Json::Object& Json::objectItems() const
{
    const Object* value = valueIf<Object>();
    return value ? *value : emptyObject();
}

const Json& Json::operator[](std::size_t index) const
{
    const Array& items = arrayItems();
    return index < items.size() ? items[index] : nullJson();
}

const Json& Json::operator[](const std::string& key) const
{
    const Object& members = objectItems();
    const auto it = members.find(key);
    return it != members.end() ? it->second : nullJson();
}

bool Json::operator==(const Json& other) const
{
    if (m_type != other.m_type)
        return false;
    if (m_value && other.m_value)
        return m_value->data == other.m_value->data;
    return m_scalar == other.m_scalar;  //< Null values both hold 0.
}

}  // namespace nx::kit

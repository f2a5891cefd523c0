// JSON values: parsing a whole text, building values, typed reads and the compact dump.
//
// A Json is an immutable value (null, number, bool, string, array or key-ordered object).
// Numbers and booleans are held in the Json itself; copies of the others share their
// contents. Nothing here throws: a text that does not parse gives a null
// value and an error text. Const operations on a value are safe from any number of threads;
// assigning to one Json object while another thread reads that same object is not.

#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace nx::kit
{

class Json
{
public:
    enum class Type
    {
        kNull,
        kNumber,
        kBool,
        kString,
        kArray,
        kObject,
    };

    using Array = std::vector<Json>;
    using Object = std::map<std::string, Json>;

    // The most arrays and objects that parse() accepts around a value, as json11 does: 201
    // nested arrays still parse when the innermost one is empty, as it holds no value.
    static constexpr int kMaxNestingDepth = 200;

    // A null value.
    Json() noexcept = default;
    Json(std::nullptr_t) noexcept {}

    // A number; every number is held as a double.
    Json(double value);
    Json(int value);

    Json(bool value);

    Json(const std::string& value);
    Json(std::string&& value);
    // A string; a null pointer gives a null value.
    Json(const char* value);

    Json(const Array& values);
    Json(Array&& values);
    Json(const Object& values);
    Json(Object&& values);

    Json(const Json& other) = default;
    Json& operator=(const Json& other) = default;
    // The moved-from value is left null.
    Json(Json&& other) noexcept;
    Json& operator=(Json&& other) noexcept;

    // A pointer other than a C string would otherwise silently become a bool.
    Json(void*) = delete;
    template <typename T, typename = std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char>>>
    Json(T*) = delete;

    // Parses the whole text: no byte-order mark, no comments, nothing but white space after
    // the value (a NUL byte is text too), no value inside more than kMaxNestingDepth arrays
    // and objects, strings in valid UTF-8. On success clears *errorText; on failure sets it to
    // a non-empty description and returns null. errorText may be null.
    // json11 accepts three kinds of text that nlohmann-json, the parser underneath, rejects
    // with no way to take them: bytes that are not UTF-8 (json11 keeps them as they are),
    // escapes of lone surrogates such as "\ud800" (json11 writes three bytes for each), and
    // numbers beyond the range of double such as 1e400 (json11 reads an infinity).
    static Json parse(const std::string& text, std::string* errorText);

    // The compact text of the value: items joined by ", ", members as "key": value in
    // ascending byte order of keys, numbers as printf "%.17g" in the C locale ("null" when
    // not finite). Bytes of strings that need no escape are copied as they are.
    std::string dump() const;

    // The kind of value held.
    Type type() const;

    bool isNull() const { return type() == Type::kNull; }
    bool isNumber() const { return type() == Type::kNumber; }
    bool isBool() const { return type() == Type::kBool; }
    bool isString() const { return type() == Type::kString; }
    bool isArray() const { return type() == Type::kArray; }
    bool isObject() const { return type() == Type::kObject; }

    // The number; 0 when the value is not a number.
    double numberValue() const;

    // The boolean; false when the value is not a boolean.
    bool boolValue() const;

    // The string; an empty string when the value is not a string.
    const std::string& stringValue() const;

    // The items; empty when the value is not an array.
    const Array& arrayItems() const;

    // The members; empty when the value is not an object.
    const Object& objectItems() const;

    // The item at the index; null when absent or when the value is not an array.
    const Json& operator[](std::size_t index) const;

    // The member with the key; null when absent or when the value is not an object.
    const Json& operator[](const std::string& key) const;

    // Same type and same contents (numbers compared as doubles).
    bool operator==(const Json& other) const;
    bool operator!=(const Json& other) const { return !(*this == other); }

private:
    struct Value;

    template <typename T>
    const T* valueIf() const;

    Type m_type = Type::kNull;
    double m_scalar = 0.0;                 //< The number, or 1 and 0 for true and false.
    std::shared_ptr<const Value> m_value;  //< Set for strings, arrays and objects only.
};

}  // namespace nx::kit

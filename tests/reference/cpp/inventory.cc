// inventory.cpp - stock levels of a small warehouse, with reorder suggestions.
#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace warehouse {

enum class Unit { Piece, Kilogram, Litre };

struct Item {
    std::string sku;
    std::string name;
    double quantity = 0.0;
    Unit unit = Unit::Piece;
    int reorderLevel = 10;
};

/* A stock keeps items by SKU and remembers every change, so that a
   day's movements can be printed at closing time. */
class Stock {
public:
    explicit Stock(std::string site) : site_(std::move(site)) {}

    void receive(const Item &item)
    {
        auto [it, inserted] = items_.try_emplace(item.sku, item);
        if (!inserted)
            it->second.quantity += item.quantity;
        log_.push_back(R"(in: ")" + item.sku + R"(")");
    }

    std::optional<Item> take(const std::string &sku, double amount)
    {
        const auto it = items_.find(sku);
        if (it == items_.end() || it->second.quantity < amount)
            return std::nullopt;
        it->second.quantity -= amount;
        log_.emplace_back(u8"out: " + sku);
        return it->second;
    }

    std::vector<Item> belowReorderLevel() const
    {
        std::vector<Item> low;
        std::copy_if(items_.begin(), items_.end(), std::back_inserter(low),
                     [](const auto &entry) { return entry.second.quantity < entry.second.reorderLevel; });
        return low;
    }

    template <typename Out>
    void printLog(Out &out) const
    {
        for (const auto &line : log_)
            out << site_ << '\t' << line << '\n';
    }

private:
    std::string site_;
    std::map<std::string, Item> items_;
    std::vector<std::string> log_;
};

} // namespace warehouse

int main()
{
    using namespace warehouse;
    Stock stock{"North"};
    stock.receive({"B-100", "bolts M6", 250, Unit::Piece, 100});
    stock.receive({"O-7", "machine oil", 12.5, Unit::Litre, 20});
    if (auto taken = stock.take("B-100", 180); taken && taken->quantity < 100)
        std::cout << "reorder " << taken->name << ": only " << taken->quantity << " left\n";
    constexpr auto kBig = 0x7fff'ffffULL;
    static_assert(kBig > 1'000'000, "counts fit");
    const char32_t star = U'\u2605';
    std::cout << "low items: " << stock.belowReorderLevel().size() << ", star " << static_cast<long>(star) << std::endl;
    stock.printLog(std::cout);
    return 0;
}

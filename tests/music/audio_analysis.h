// Measurements the soundtrack tests make on audio, independent of how it was made: a
// spectrum, octave-band levels, and onsets found from rises in short-time energy.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace analysis {

constexpr double kRate = 44100.0;

// In-place radix-2 FFT; the size must be a power of two.
inline void Fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * M_PI / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w(1.0);
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> u = a[start + k], v = a[start + k + length / 2] * w;
                a[start + k] = u + v;
                a[start + k + length / 2] = u - v;
                w *= step;
            }
        }
    }
}

// Power spectrum of a block through a Blackman-Harris window (sidelobes under -92 dB).
inline std::vector<double> PowerSpectrum(const float* x, size_t n)
{
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * static_cast<double>(i) / static_cast<double>(n);
        const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        a[i] = x[i] * w;
    }
    Fft(a);
    std::vector<double> power(n / 2);
    for (size_t k = 0; k < n / 2; ++k) power[k] = std::norm(a[k]);
    return power;
}

// Mean level in dB of octave bands from 40 Hz up, over mono frames [first, last).
inline std::vector<double> OctaveBandLevels(const std::vector<float>& mono, size_t first, size_t last)
{
    constexpr size_t kBlock = 4096;
    constexpr int kBands = 9; // 40 Hz .. 20.5 kHz
    std::vector<double> energy(kBands, 1e-12);
    for (size_t start = first; start + kBlock <= last; start += kBlock / 2) {
        const std::vector<double> power = PowerSpectrum(mono.data() + start, kBlock);
        for (size_t k = 1; k < power.size(); ++k) {
            const double hz = static_cast<double>(k) * kRate / kBlock;
            const int band = static_cast<int>(std::floor(std::log2(hz / 40.0)));
            if (band >= 0 && band < kBands) energy[static_cast<size_t>(band)] += power[k];
        }
    }
    std::vector<double> levels(kBands);
    for (int b = 0; b < kBands; ++b) levels[static_cast<size_t>(b)] = 10.0 * std::log10(energy[static_cast<size_t>(b)]);
    return levels;
}

// The signal is high-passed at 1 kHz first: a 64-frame window is shorter than a bass
// period, and its energy would swing with the waveform; hits all have a click above 1 kHz.
inline std::vector<float> HighPass1k(const std::vector<float>& x)
{
    const double w = 2.0 * M_PI * 1000.0 / kRate, alpha = std::sin(w) / (2.0 * 0.7071), cw = std::cos(w);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 + cw) / 2.0 / a0, b1 = -(1.0 + cw) / a0, b2 = b0;
    const double a1 = -2.0 * cw / a0, a2 = (1.0 - alpha) / a0;
    std::vector<float> y(x.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double out = b0 * x[i] + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x[i];
        y2 = y1;
        y1 = out;
        y[i] = static_cast<float>(out);
    }
    return y;
}

// Onset detection above 1 kHz, every 16 frames: the energy of the next 256 frames (5.8
// ms) against that of the 512 frames before. Where it is at least `riseDb` higher, and
// the largest such rise within 12 ms, there is an onset; the windows are long enough
// that noise (hats, reverb) does not fake rises. Its time is then found to 4 frames
// with short windows.
class Onsets {
public:
    static constexpr size_t kHop = 16;

    explicit Onsets(const std::vector<float>& input, double riseDb = 6.0, double floorDb = -55.0)
    {
        const std::vector<float> x = HighPass1k(input);
        m_cumulative.assign(x.size() + 1, 0.0);
        for (size_t i = 0; i < x.size(); ++i) m_cumulative[i + 1] = m_cumulative[i] + double(x[i]) * x[i];
        const size_t count = x.size() > kAfter + kBefore + 64 ? (x.size() - kAfter - 64) / kHop : 0;
        m_strength.assign(count, 0.0);
        const double floor = std::pow(10.0, floorDb / 10.0);
        for (size_t k = kBefore / kHop; k < count; ++k) {
            const double after = Mean(k * kHop, kAfter), before = Mean(k * kHop - kBefore, kBefore);
            if (after >= floor) m_strength[k] = std::max(0.0, 10.0 * std::log10((after + 1e-12) / (before + 1e-12)));
        }
        const size_t neighbourhood = static_cast<size_t>(0.012 * kRate / kHop);
        for (size_t k = std::max(neighbourhood, kBefore / kHop); k + neighbourhood < count; ++k) {
            if (m_strength[k] < riseDb) continue;
            bool peak = true;
            for (size_t j = k - neighbourhood; j <= k + neighbourhood && peak; ++j)
                if (m_strength[j] > m_strength[k] || (m_strength[j] == m_strength[k] && j < k)) peak = false;
            if (peak) m_seconds.push_back(Refine(k));
        }
    }

    const std::vector<double>& Seconds() const { return m_seconds; }
    // Rise in dB where positive, one value per hop.
    const std::vector<double>& Strength() const { return m_strength; }

    // The strongest rise within `reach` seconds of t, timed like an onset; negative when
    // nothing rises there by `riseDb`.
    double StrongestNear(double t, double reach, double riseDb = 3.0) const
    {
        const auto first = static_cast<size_t>(std::max(0.0, (t - reach) * kRate / kHop));
        const size_t last = std::min(m_strength.size() - 1, static_cast<size_t>((t + reach) * kRate / kHop));
        size_t best = first;
        for (size_t k = first; k <= last; ++k)
            if (m_strength[k] > m_strength[best]) best = k;
        return m_strength[best] >= riseDb && best >= kBefore / kHop ? Refine(best) : -1.0;
    }

private:
    static constexpr size_t kAfter = 256, kBefore = 512;

    double Mean(size_t first, size_t count) const
    {
        return (m_cumulative[first + count] - m_cumulative[first]) / static_cast<double>(count);
    }

    // A click shorter than the window may sit anywhere inside it: the onset is where the
    // energy of the next 64 frames most exceeds that of the 256 frames before.
    double Refine(size_t k) const
    {
        size_t best = k * kHop;
        double bestRatio = 0.0;
        for (size_t at = k * kHop - 128; at < k * kHop + kAfter; at += 4) {
            const double ratio = (Mean(at, 64) + 1e-12) / (Mean(at - 256, 256) + 1e-12);
            if (ratio > bestRatio) {
                bestRatio = ratio;
                best = at;
            }
        }
        return static_cast<double>(best) / kRate;
    }

    std::vector<double> m_cumulative; // running energy of the high-passed signal
    std::vector<double> m_strength;
    std::vector<double> m_seconds;
};

// Distance in seconds from t to the nearest value of a sorted list.
inline double NearestDistance(const std::vector<double>& sorted, double t)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), t);
    double best = 1e9;
    if (it != sorted.end()) best = std::min(best, *it - t);
    if (it != sorted.begin()) best = std::min(best, t - *(it - 1));
    return best;
}

} // namespace analysis

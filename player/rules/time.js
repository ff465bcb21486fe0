// SPDX-License-Identifier: MIT
// How the page writes a time: a moment in whole seconds for the lists, a
// length to the hundredth for a lecturer, as the tool's dialogue takes it.
"use strict";

/**
 * A time in whole seconds as m:ss, or h:mm:ss from one hour on.
 * @param {number} seconds
 * @returns {string}
 */
function formatStart(seconds) {
  const whole = Math.floor(seconds);
  const hours = Math.floor(whole / 3600);
  const minutes = Math.floor(whole / 60) % 60;
  const rest = String(whole % 60).padStart(2, "0");
  return hours > 0 ? `${hours}:${String(minutes).padStart(2, "0")}:${rest}` : `${minutes}:${rest}`;
}

/** The most hundredths the play length may have: 99:59:59.99. */
const longestPlay = ((99 * 60 + 59) * 60 + 59) * 100 + 99;

/**
 * A time as hours, minutes, seconds and hundredths, rounded to the
 * nearest hundredth.
 * @param {number} seconds
 * @returns {[number, number, number, number]}
 */
function hundredthsOf(seconds) {
  const all = Math.round(seconds * 100);
  return [Math.floor(all / 360000), Math.floor(all / 6000) % 60, Math.floor(all / 100) % 60, all % 100];
}

/**
 * A length as a lecturer reads it: m:ss.cc, or h:mm:ss.cc from one hour on.
 * @param {number} seconds
 * @returns {string}
 */
function formatLength(seconds) {
  const [hours, minutes, whole, hundredths] = hundredthsOf(seconds);
  const two = (/** @type {number} */ value) => String(value).padStart(2, "0");
  const rest = `${two(whole)}.${two(hundredths)}`;
  return hours > 0 ? `${hours}:${two(minutes)}:${rest}` : `${minutes}:${rest}`;
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { formatStart, longestPlay, hundredthsOf, formatLength });
}

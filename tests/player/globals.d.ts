// SPDX-License-Identifier: MIT
// What the player's scripts see of Node when Node loads them as CommonJS
// modules for the tests; in the page there is no `module`.
declare var module: { exports: object } | undefined;

// pagewell.js as an ES module: import Pagewell, { connect } from "./pagewell.mjs";
import "./pagewell.js";

const Pagewell = globalThis.Pagewell;
export default Pagewell;
export const connect = Pagewell.connect;
